#include "morvex/JSON.h"

#include "JSONSyntax.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <simdjson.h>
#include <unordered_map>
#include <vector>

namespace morvex {

namespace {

constexpr std::uint32_t noMember = std::numeric_limits<std::uint32_t>::max();
constexpr double twoTo63 = 9223372036854775808.0;

enum class NumberType : std::uint8_t
{
    signedInteger,
    unsignedInteger,
    floating,
    // Valid JSON that no 64-bit type holds (2^64, -2^63 - 1, 1e400): kept as the nearest double.
    wide
};

// What the walk may read of a value's children.
enum class Keep : std::uint8_t
{
    all,   // every member or element
    first, // the first element only
    none   // validate, store nothing
};

} // namespace

// The parts of a node's 8-byte value that are not numbers (named: a union may not declare types).
struct JSONChildren
{
    std::uint32_t descendants; // stored values inside it: they follow it in JSONStorage::nodes
    std::uint32_t size;        // every member or element, stored or not
};

struct JSONTextSpan
{
    std::uint32_t offset;
    std::uint32_t length;
};

// One value in 16 bytes: documents of millions of small values are kept whole. Offsets and counts fit 32 bits
// as the parser takes no text of 4 GiB or more. A member's key is not stored: it is the name of the field its
// shape stands for.
struct JSONNode
{
    JSON::Kind kind() const { return static_cast<JSON::Kind>(kindByte); }

    std::uint8_t kindByte = static_cast<std::uint8_t>(JSON::Kind::null);
    NumberType numberType = NumberType::signedInteger;
    Keep keep = Keep::none;      // of an object or array: which children are stored
    bool ownedText : 1 = false;  // a string unescaped into the storage's own text, not standing as it is in the input
    bool repeatsKey : 1 = false; // an object that holds a key more than once
    std::uint32_t shape = noIndex;
    // Which one holds the value is told by the kind (and for numbers by numberType).
    union
    {
        std::int64_t integer = 0;
        std::uint64_t unsignedInteger;
        double floating;
        JSONChildren children;
        JSONTextSpan text;
    };

    // How many nodes this value takes: itself and what is stored inside it.
    std::uint32_t span() const
    {
        const JSON::Kind own = kind();
        return own == JSON::Kind::array || own == JSON::Kind::dictionary ? 1 + children.descendants : 1;
    }

    // How many of its children are stored: the first follows it, each next one the span of the one before.
    std::uint32_t stored() const
    {
        switch (keep) {
        case Keep::all:
            return children.size;
        case Keep::first:
            return std::min<std::uint32_t>(children.size, 1);
        case Keep::none:
            return 0;
        }
        return 0;
    }
};

static_assert(sizeof(JSONNode) == 16);

struct JSONStorage
{
    std::string copy;      // the padded text, when the caller's had no padding
    std::string_view text; // what stored strings and keys point into
    std::string unescaped; // the stored strings that hold escapes, unescaped
    std::vector<JSONNode> nodes;
    SampleTypes types;

    std::string_view key(const JSONNode& member) const { return types.key(member.shape); }
};

struct JSONAccess
{
    static const JSONNode* node(const JSON& value)
    {
        return value.m_storage ? &value.m_storage->nodes[value.m_node] : nullptr;
    }
    static JSON make(const JSONStorage* storage, std::uint32_t node) { return JSON(storage, node); }
};

JSON::Kind JSON::kind() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    return node ? node->kind() : Kind::null;
}

double JSON::doubleValue() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    if (!node || node->kind() != Kind::number)
        return 0;
    switch (node->numberType) {
    case NumberType::signedInteger:
        return static_cast<double>(node->integer);
    case NumberType::unsignedInteger:
        return static_cast<double>(node->unsignedInteger);
    case NumberType::floating:
    case NumberType::wide:
        return node->floating;
    }
    return 0;
}

std::int64_t JSON::intValue() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    if (!node || node->kind() != Kind::number)
        return 0;
    constexpr auto largest = std::numeric_limits<std::int64_t>::max();
    switch (node->numberType) {
    case NumberType::signedInteger:
        return node->integer;
    case NumberType::unsignedInteger:
        return node->unsignedInteger > static_cast<std::uint64_t>(largest)
                   ? largest
                   : static_cast<std::int64_t>(node->unsignedInteger);
    case NumberType::floating:
    case NumberType::wide:
        if (node->floating >= twoTo63)
            return largest;
        if (node->floating < -twoTo63)
            return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(node->floating);
    }
    return 0;
}

float JSON::floatValue() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    if (!node || node->kind() != Kind::number)
        return 0;
    switch (node->numberType) {
    case NumberType::signedInteger:
        return static_cast<float>(node->integer);
    case NumberType::unsignedInteger:
        return static_cast<float>(node->unsignedInteger);
    case NumberType::floating:
    case NumberType::wide:
        return static_cast<float>(node->floating);
    }
    return 0;
}

bool JSON::fitsInt64() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    if (!node || node->kind() != Kind::number)
        return false;
    switch (node->numberType) {
    case NumberType::signedInteger:
        return true;
    case NumberType::unsignedInteger:
        return node->unsignedInteger <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    case NumberType::floating:
        return node->floating >= -twoTo63 && node->floating < twoTo63;
    case NumberType::wide:
        return false;
    }
    return false;
}

std::string_view JSON::stringValue() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    if (!node || node->kind() != Kind::string)
        return {};
    const std::string_view from = node->ownedText ? std::string_view(m_storage->unescaped) : m_storage->text;
    return from.substr(node->text.offset, node->text.length);
}

std::size_t JSON::size() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    return node && (node->kind() == Kind::array || node->kind() == Kind::dictionary) ? node->children.size : 0;
}

std::uint32_t JSON::shape() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    return node ? node->shape : noIndex;
}

std::string_view JSON::memberKey() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    if (!node)
        return {};
    const SampleTypes& types = m_storage->types;
    return types.shapes[node->shape].member ? types.key(node->shape) : std::string_view();
}

std::uint32_t JSON::end() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    return node ? m_node + node->span() : m_node;
}

bool JSON::repeatsKey() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    return node && node->kind() == Kind::dictionary && node->repeatsKey;
}

JSON JSON::firstElement() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    if (!node || node->kind() != Kind::array || node->stored() == 0)
        return {};
    return JSONAccess::make(m_storage, m_node + 1);
}

JSONIterator::JSONIterator(const JSON& value) noexcept
    : m_storage(value.m_storage), m_kind(value.kind()), m_member(0), m_left(0)
{
    if (m_kind == JSON::Kind::array || m_kind == JSON::Kind::dictionary) {
        m_member = value.m_node + 1;
        m_left = JSONAccess::node(value)->stored();
    }
}

bool JSONIterator::next(std::string_view& key, JSON& value) noexcept
{
    if (m_left == 0)
        return false;
    --m_left;
    const std::uint32_t child = m_member;
    m_member += m_storage->nodes[child].span();
    if (m_kind == JSON::Kind::array) {
        m_indexKey = std::to_string(m_index++);
        key = m_indexKey;
    } else {
        key = m_storage->key(m_storage->nodes[child]);
    }
    value = JSONAccess::make(m_storage, child);
    return true;
}

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view trimmed(std::string_view token)
{
    while (!token.empty() && isSpace(token.back()))
        token.remove_suffix(1);
    return token;
}

// Checks every escape of the text in one pass. In JSON a backslash stands only inside strings, so each one
// must begin a valid escape; one anywhere else fails here or, being part of no valid token, in the reader.
// The reader unescapes only what it keeps, and checks none of it: this is the one check.
bool escapesValid(std::string_view text)
{
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    while (const auto* backslash =
               static_cast<const char*>(std::memchr(at, '\\', static_cast<std::size_t>(end - at)))) {
        const std::size_t length =
            detail::scanEscape(std::string_view(backslash, static_cast<std::size_t>(end - backslash)));
        if (length == 0)
            return false;
        at = backslash + length;
    }
    return true;
}

bool validNumberToken(std::string_view token)
{
    return !token.empty() && detail::scanNumber(token) == token.size();
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::uint32_t hex4(std::string_view text)
{
    std::uint32_t value = 0;
    std::from_chars(text.data(), text.data() + 4, value, 16);
    return value;
}

// Appends `raw`, the text of a string between its quotes, unescaped. Its escapes are checked with all others
// (`escapesValid`); a malformed one here only ends the copy early.
void appendUnescaped(std::string& out, std::string_view raw)
{
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::size_t plain = raw.find('\\', i);
        out.append(raw.substr(i, plain - i));
        if (plain == std::string_view::npos || plain + 1 >= raw.size())
            return;
        i = plain + 1;
        const char escaped = raw[i];
        switch (escaped) {
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'u': {
            if (i + 5 > raw.size())
                return;
            std::uint32_t code = hex4(raw.substr(i + 1));
            i += 4;
            if (code >= 0xD800 && code < 0xDC00 && i + 7 <= raw.size() && raw[i + 1] == '\\' && raw[i + 2] == 'u') {
                code = 0x10000 + ((code - 0xD800) << 10) + (hex4(raw.substr(i + 3)) - 0xDC00);
                i += 6;
            }
            appendUtf8(out, code);
            break;
        }
        default:
            out += escaped;
        }
    }
}

// The default rules read a number as an integer when its single-precision view is whole.
bool looksWhole(double value)
{
    return value >= -twoTo63 && value < twoTo63 &&
           static_cast<float>(static_cast<std::int64_t>(value)) == static_cast<float>(value);
}

ValueKind floatingKind(double value)
{
    return value >= -twoTo63 && value < twoTo63 && value == std::trunc(value) ? ValueKind::integer
                                                                              : ValueKind::fraction;
}

ValueKind kindOf(const JSONNode& node)
{
    switch (node.numberType) {
    case NumberType::signedInteger:
        return ValueKind::integer;
    case NumberType::unsignedInteger:
    case NumberType::wide:
        return ValueKind::wide;
    case NumberType::floating:
        return floatingKind(node.floating);
    }
    return ValueKind::fraction;
}

// A number too small for a double (1e-400) reads as 0, though its digits are not all zero: it is no integer.
bool underflows(std::string_view token, double value)
{
    return value == 0 &&
           token.substr(0, token.find_first_of("eE")).find_first_of("123456789") != std::string_view::npos;
}

// The kind of a kept number, whose token it was read from.
ValueKind kindOf(const JSONNode& node, std::string_view token)
{
    const ValueKind kind = kindOf(node);
    return node.numberType == NumberType::floating && underflows(token, node.floating) ? ValueKind::fraction : kind;
}

// The kind of a number token not kept: `whole` tells whether the default rules would type it `Int`.
ValueKind kindOf(std::string_view token, bool& whole)
{
    const char* end = token.data() + token.size();
    if (token.find_first_of(".eE") == std::string_view::npos) {
        std::int64_t integer = 0;
        return std::from_chars(token.data(), end, integer).ec == std::errc() ? ValueKind::integer : ValueKind::wide;
    }
    double value = 0;
    if (std::from_chars(token.data(), end, value).ec != std::errc()) {
        // Out of range: beyond a double, or too small for one (which is how a value rounding to 0 comes).
        value = std::strtod(std::string(token).c_str(), nullptr);
        if (std::fabs(value) >= 1)
            return ValueKind::wide;
        whole = looksWhole(value);
        return ValueKind::fraction;
    }
    whole = looksWhole(value);
    return floatingKind(value);
}

// Raw keys lie in the padded text, so eight bytes can be read from any of them: short keys, the most
// common, are compared without a call.
bool sameKey(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    if (a.size() > 8 || std::endian::native != std::endian::little)
        return std::memcmp(a.data(), b.data(), a.size()) == 0;
    std::uint64_t left = 0;
    std::uint64_t right = 0;
    std::memcpy(&left, a.data(), 8);
    std::memcpy(&right, b.data(), 8);
    const std::uint64_t mask = a.size() == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * a.size())) - 1;
    return ((left ^ right) & mask) == 0;
}

// The same in one pass for the common short tokens: a whole number of at most 18 digits, or one with a fraction
// and at most 15 digits in all, which a double holds exactly as the quotient of two exact doubles. False for
// anything else (an exponent, more digits, or no number at all), which the full check and conversion take.
bool shortNumberKind(std::string_view token, ValueKind& kind, bool& whole)
{
    static constexpr double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* at = token.data();
    const char* const end = at + token.size();
    const bool negative = at != end && *at == '-';
    at += negative ? 1 : 0;
    const char* const first = at;
    std::uint64_t mantissa = 0;
    while (at != end && *at >= '0' && *at <= '9')
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*at++ - '0');
    const auto integerDigits = at - first;
    if (integerDigits == 0 || integerDigits > 18 || (*first == '0' && integerDigits > 1))
        return false;
    if (at == end) {
        kind = ValueKind::integer;
        return true;
    }
    if (*at != '.')
        return false;
    const char* const point = ++at;
    while (at != end && *at >= '0' && *at <= '9')
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*at++ - '0');
    const auto fractionDigits = at - point;
    if (at != end || fractionDigits == 0 || integerDigits + fractionDigits > 15)
        return false;
    const double magnitude = static_cast<double>(mantissa) / powersOfTen[fractionDigits];
    const double value = negative ? -magnitude : magnitude;
    whole = looksWhole(value);
    kind = floatingKind(value);
    return true;
}

// simdjson's first stage over the text a part at a time, so that no index of all its tokens is held: deep text
// has four a level. A part ends where a token starts outside any string. That is told by the first stage
// itself: a part that ends inside a string holds an unclosed one, and grows to that string's end.
class TokenIndex
{
public:
    explicit TokenIndex(std::string_view text) : m_text(text) {}

    // Indexes on until the tokens from `from` on number at least `ahead`, or the text is indexed to its end.
    simdjson::error_code fill(std::uint32_t from, std::uint32_t ahead)
    {
        while (!m_done && count() < from + ahead) {
            m_positions.erase(m_positions.begin(), m_positions.begin() + (from - m_base));
            m_base = from;
            if (auto error = indexPart())
                return error;
        }
        return simdjson::SUCCESS;
    }

    // The position of token `at`; once the text is indexed to its end, `count()` gives the text's length.
    std::uint32_t operator[](std::uint32_t at) const { return m_positions[at - m_base]; }
    // The tokens indexed so far.
    std::uint32_t count() const { return m_base + static_cast<std::uint32_t>(m_positions.size()) - (m_done ? 1 : 0); }

private:
    static constexpr std::size_t partSize = 1 << 18;

    // Where the text may be cut at or after `at`: a structural character or a space, so never within a token.
    std::size_t cutAt(std::size_t at) const
    {
        const std::size_t cut = m_text.find_first_of(",:[]{} \t\n\r", at);
        return cut == std::string_view::npos ? m_text.size() : cut;
    }

    // Just past the quote that closes the string `at` lies in.
    std::size_t pastString(std::size_t at) const
    {
        for (;; ++at) {
            at = m_text.find('"', at);
            if (at == std::string_view::npos)
                return m_text.size();
            std::size_t slashes = 0;
            while (m_text[at - 1 - slashes] == '\\')
                ++slashes;
            if (slashes % 2 == 0)
                return at + 1;
        }
    }

    simdjson::error_code indexPart()
    {
        const std::size_t start = m_indexed;
        std::size_t end = m_text.size() - start > partSize ? cutAt(start + partSize) : m_text.size();
        simdjson::error_code error = simdjson::SUCCESS;
        // Text that is not JSON may cut badly more than once: past two tries the part runs to the end.
        for (int tries = 0;; ++tries) {
            if (!m_stage || m_stage->capacity() < end - start) {
                const std::size_t capacity = std::max(end - start, partSize);
                error = m_stage ? m_stage->set_capacity(capacity)
                                : simdjson::get_active_implementation()->create_dom_parser_implementation(capacity, 1,
                                                                                                          m_stage);
                if (error)
                    return error;
            }
            error = m_stage->stage1(reinterpret_cast<const std::uint8_t*>(m_text.data() + start), end - start,
                                    simdjson::stage1_mode::regular);
            if (error != simdjson::UNCLOSED_STRING || end == m_text.size())
                break;
            end = tries < 2 ? cutAt(pastString(end)) : m_text.size();
        }
        // A part of spaces alone holds no token.
        if (error == simdjson::EMPTY)
            m_stage->n_structural_indexes = 0;
        else if (error)
            return error;
        const std::uint32_t* const found = m_stage->structural_indexes.get();
        for (std::uint32_t i = 0; i < m_stage->n_structural_indexes; ++i)
            m_positions.push_back(static_cast<std::uint32_t>(start + found[i]));
        m_indexed = end;
        if (end == m_text.size()) {
            m_done = true;
            m_positions.push_back(static_cast<std::uint32_t>(end));
        }
        return simdjson::SUCCESS;
    }

    std::string_view m_text;
    std::unique_ptr<simdjson::internal::dom_parser_implementation> m_stage;
    // Tokens from m_base on, and once the text is indexed to its end, its length.
    std::vector<std::uint32_t> m_positions;
    std::uint32_t m_base = 0;
    std::size_t m_indexed = 0;
    bool m_done = false;
};

// Walks the whole document once, without recursion, validating every value, keeping what the generator
// reads (see `Keep`) and merging every value into the shape of its position. It reads the tokens simdjson's
// first stage finds (each structural character, each string's opening quote, each other value's first byte)
// in one pass, so an open object or array costs only its frame: deep text holds a million of them.
class Reader
{
public:
    Reader(JSONStorage& storage, std::string_view text)
        : m_storage(storage), m_text(text), m_padded(text.data()), m_index(text)
    {}

    simdjson::error_code read()
    {
        if (auto error = m_index.fill(0, lookahead))
            return error;
        if (m_index.count() == 0)
            return simdjson::EMPTY;
        const std::uint32_t shape = newShape(noIndex, false, true);
        const std::uint32_t offset = m_index[0];
        const char first = m_text[offset];
        if (first == '{' || first == '[') {
            // The root keeps every member or element.
            ++m_next;
            const bool object = first == '{';
            note(shape, object ? ValueKind::object : ValueKind::array, offset, 1);
            const std::uint32_t node = newNode(object ? JSON::Kind::dictionary : JSON::Kind::array, shape);
            if (object)
                openObject(Keep::all, node, shape, offset);
            else
                openArray(Keep::all, node, shape, offset, true);
            if (auto error = run())
                return error;
        } else if (auto error = child(true, true, shape, noIndex)) {
            return error;
        }
        if (auto error = m_index.fill(m_next, 1))
            return error;
        return m_next == m_index.count() ? simdjson::SUCCESS : simdjson::TRAILING_CONTENT;
    }

private:
    // One per open object or array: as deep text holds a million of them, kept small.
    // How many members of the first object of its shape this one held, and the field its last member was (objects
    // of a shape mostly list their members alike, so the next one is tried first). Its number among the objects
    // of its shape is the shape's count of them: no object is open inside another of its shape.
    struct ObjectState
    {
        std::uint32_t heldOfFirst;
        std::uint32_t lastField;
    };

    // The trail step naming this array's current element, made when a place first needs it.
    struct ArrayState
    {
        std::uint32_t trail;
        std::uint32_t trailAt;
    };

    struct Frame
    {
        std::uint32_t shape = noIndex;
        // A stored value's node, which counts its children as they are read (`JSONChildren::size`); for any other
        // value the count itself.
        std::uint32_t nodeOrCount = 0;
        std::uint32_t offset = 0;
        union
        {
            ObjectState object;
            ArrayState array;
        };
        bool isObject = false;
        bool stored = false;
        // An array, the first of its shape.
        bool firstOfShape = false;
        Keep keep = Keep::none;
    };

    std::uint32_t count(const Frame& frame) const
    {
        return frame.stored ? m_storage.nodes[frame.nodeOrCount].children.size : frame.nodeOrCount;
    }
    std::uint32_t serial(const Frame& frame) const { return m_storage.types.shapes[frame.shape].objects; }

    // The text of token `at`, up to the next one (so with any space after it).
    std::string_view token(std::uint32_t at) const { return m_text.substr(m_index[at], m_index[at + 1] - m_index[at]); }

    std::uint32_t offsetOf(const char* at) const { return static_cast<std::uint32_t>(at - m_text.data()); }

    std::uint32_t newNode(JSON::Kind kind, std::uint32_t shape)
    {
        m_storage.nodes.emplace_back();
        m_storage.nodes.back().kindByte = static_cast<std::uint8_t>(kind);
        m_storage.nodes.back().shape = shape;
        return static_cast<std::uint32_t>(m_storage.nodes.size() - 1);
    }

    // Whether the member `id` has the key `rawKey` as it stands, escapes and all. The stored key ends where a
    // quote follows as far into it: a valid key cannot end in the escape of a quote.
    bool keyIs(std::uint32_t id, std::string_view rawKey) const
    {
        const std::size_t at = m_storage.types.shapes[id].keyOffset + 1;
        return at + rawKey.size() < m_text.size() && m_padded[at + rawKey.size()] == '"' &&
               sameKey({m_padded + at, rawKey.size()}, rawKey);
    }

    // The member `id`'s key as it stands, escapes and all.
    std::string_view rawKey(std::uint32_t id) const
    {
        return m_storage.types.quotedAt(m_storage.types.shapes[id].keyOffset);
    }

    std::uint32_t newShape(std::uint32_t parent, bool member, bool kept)
    {
        auto& shapes = m_storage.types.shapes;
        shapes.emplace_back();
        shapes.back().parent = parent;
        shapes.back().member = member;
        shapes.back().kept = kept;
        return static_cast<std::uint32_t>(shapes.size() - 1);
    }

    // How many members the first object of shape `id` held, counted once a later object of it lacks some.
    std::uint32_t firstCount(std::uint32_t id)
    {
        const auto [entry, fresh] = m_firstCount.try_emplace(id, 0);
        if (fresh) {
            const SampleTypes& types = m_storage.types;
            for (const std::uint32_t member : types.fieldsOf(types.shapes[id]))
                entry->second += types.shapes[member].inFirst ? 1U : 0U;
        }
        return entry->second;
    }

    // The trail of array indices to the current value, made as far as it is not yet.
    std::uint32_t currentTrail()
    {
        std::size_t fresh = m_arrays.size();
        while (fresh > 0) {
            const Frame& frame = m_stack[m_arrays[fresh - 1]];
            if (frame.array.trail != noIndex && frame.array.trailAt == count(frame))
                break;
            --fresh;
        }
        std::uint32_t trail = fresh == 0 ? noIndex : m_stack[m_arrays[fresh - 1]].array.trail;
        auto& trails = m_storage.types.trails;
        for (std::size_t i = fresh; i < m_arrays.size(); ++i) {
            Frame& frame = m_stack[m_arrays[i]];
            const std::uint32_t at = count(frame);
            trails.push_back({trail, at == 0 ? 0 : at - 1});
            frame.array.trail = trail = static_cast<std::uint32_t>(trails.size() - 1);
            frame.array.trailAt = at;
        }
        return trail;
    }

    Place placeOf(std::uint32_t shape, std::uint64_t offset, std::uint64_t length)
    {
        return Place{static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length), shape, currentTrail()};
    }

    // Merges one value into its shape; places are taken only where something is seen for the first time.
    // Most values repeat what their shape has seen: that case stays inline and cheap.
    void note(std::uint32_t id, ValueKind kind, std::uint64_t offset, std::uint64_t length, bool whole = false)
    {
        SampleShape& shape = m_storage.types.shapes[id];
        if ((shape.kinds & kindBit(kind)) == 0 || (whole && !known(shape, RarePlace::wholeLooking)))
            noteNew(shape, id, kind, offset, length, whole);
    }

    // The same for a string, whose length is wanted only when its place is taken.
    void note(std::uint32_t id, std::uint64_t offset, std::string_view token)
    {
        SampleShape& shape = m_storage.types.shapes[id];
        if ((shape.kinds & kindBit(ValueKind::string)) == 0)
            noteNew(shape, id, ValueKind::string, offset, trimmed(token).size(), false);
    }

    [[gnu::noinline]] void noteNew(SampleShape& shape, std::uint32_t id, ValueKind kind, std::uint64_t offset,
                                   std::uint64_t length, bool whole)
    {
        const std::uint16_t bit = kindBit(kind);
        if (whole && !known(shape, RarePlace::wholeLooking))
            setRare(id, RarePlace::wholeLooking, placeOf(id, offset, length));
        if ((shape.kinds & bit) != 0)
            return;
        const Place place = placeOf(id, offset, length);
        if (shape.kinds == 0) {
            shape.firstKind = kind;
            shape.firstOffset = place.offset;
            shape.firstTrail = place.trail;
        } else if (!known(shape, RarePlace::other)) {
            shape.otherKind = kind;
            setRare(id, RarePlace::other, place);
        }
        if (kind == ValueKind::null)
            setRare(id, RarePlace::null, place);
        if (kind == ValueKind::wide)
            setRare(id, RarePlace::wide, place);
        shape.kinds |= bit;
    }

    bool known(const SampleShape& shape, RarePlace which) const
    {
        return m_storage.types.rarePlace(shape, which).known();
    }

    // Notes a rare place of shape `id` that is not yet known.
    void setRare(std::uint32_t id, RarePlace which, const Place& place)
    {
        SampleTypes& types = m_storage.types;
        types.rarePlaces.push_back({place, types.shapes[id].rare, which});
        types.shapes[id].rare = static_cast<std::uint32_t>(types.rarePlaces.size() - 1);
    }

    // The shape of the member `rawKey` of the object `frame` reads (its `count`-th member). Objects of one shape
    // mostly list their members in the same order: that case stays inline.
    std::uint32_t memberShape(Frame& frame, std::string_view rawKey, bool kept)
    {
        const SampleTypes& types = m_storage.types;
        const std::uint32_t last = frame.object.lastField;
        const std::uint32_t hint = last == noIndex ? types.shapes[frame.shape].firstField : types.shapes[last].next;
        if (hint != noIndex && keyIs(hint, rawKey))
            return seen(frame, hint, rawKey);
        return findMemberShape(frame, rawKey, kept);
    }

    std::uint32_t seen(Frame& frame, std::uint32_t id, std::string_view rawKey)
    {
        frame.object.lastField = id;
        SampleShape& member = m_storage.types.shapes[id];
        if (const std::uint32_t object = serial(frame); member.lastObject != object) {
            member.lastObject = object;
            ++member.present;
            if (member.inFirst)
                ++frame.object.heldOfFirst;
        } else {
            repeated(frame, id, rawKey);
        }
        return id;
    }

    // A key standing again in one object, which keeps its last value. In the first object of a shape, on the path
    // the code is read from, what was noted of the earlier value is set aside (its shape started again, or left
    // behind for a fresh one), so that what is said about the member is said of the last.
    [[gnu::noinline]] void repeated(const Frame& frame, std::uint32_t id, std::string_view rawKey)
    {
        SampleTypes& types = m_storage.types;
        if (frame.stored)
            m_storage.nodes[frame.nodeOrCount].repeatsKey = true;
        const auto [entry, first] = m_repeatOf.try_emplace(id, types.repeatedKeys.size());
        if (first)
            types.repeatedKeys.push_back({id, placeOf(id, offsetOf(rawKey.data()) - 1, rawKey.size() + 2)});
        // Past a limit a value with members or elements merges with the earlier ones again, so that a flood of
        // repeats cannot grow memory by a shape tree each.
        constexpr std::uint32_t freshLimit = 10'000;
        const bool leaf = types.shapes[id].firstField == noIndex && types.shapes[id].element == noIndex;
        if (serial(frame) != 1 || frame.keep != Keep::all || (!leaf && m_freshShapes >= freshLimit))
            return;
        types.repeatedKeys[entry->second].earlierKinds |= types.shapes[id].kinds;
        if (!leaf) {
            // What lies inside the earlier value moves to a shape of its own, which no member list holds.
            ++m_freshShapes;
            const std::uint32_t behind = newShape(frame.shape, true, true);
            SampleShape& moved = types.shapes[behind];
            moved = types.shapes[id];
            moved.next = noIndex;
            moved.leftBehind = true;
            if (moved.escapedKey) {
                // The same unescaped text, told by the left-behind shape too.
                const std::string_view key = types.key(id);
                types.escapedKeys.push_back({behind, static_cast<std::uint32_t>(key.data() - types.keys.data()),
                                             static_cast<std::uint32_t>(key.size())});
            }
            for (std::uint32_t at = moved.firstField; at != noIndex; at = types.shapes[at].next)
                types.shapes[at].parent = behind;
            if (moved.element != noIndex)
                types.shapes[moved.element].parent = behind;
            m_byKey.erase(id);
        }
        // The member starts again, so that a key repeated without end costs nothing.
        SampleShape& again = types.shapes[id];
        again.kinds = 0;
        again.firstKind = again.otherKind = ValueKind::null;
        again.firstArrayEmpty = false;
        again.firstOffset = 0;
        again.firstTrail = noIndex;
        again.objects = 0;
        again.element = again.firstField = again.lastField = again.rare = noIndex;
        again.kept = true;
        m_firstCount.erase(id);
    }

    [[gnu::noinline]] std::uint32_t findMemberShape(Frame& frame, std::string_view rawKey, bool kept)
    {
        SampleTypes& types = m_storage.types;
        // Few members are searched in order; a shape of more is searched by key, in a table made when first needed.
        constexpr std::size_t fewFields = 8;
        std::uint32_t found = noIndex;
        std::uint32_t at = types.shapes[frame.shape].firstField;
        for (std::size_t searched = 0; at != noIndex && searched < fewFields; ++searched, at = types.shapes[at].next) {
            if (keyIs(at, rawKey)) {
                found = at;
                break;
            }
        }
        std::unordered_map<std::string_view, std::uint32_t>* byKey = nullptr;
        if (found == noIndex && at != noIndex) {
            byKey = &m_byKey[frame.shape];
            if (byKey->empty()) {
                for (const std::uint32_t member : types.fieldsOf(types.shapes[frame.shape]))
                    byKey->emplace(this->rawKey(member), member);
            }
            if (auto known = byKey->find(rawKey); known != byKey->end())
                found = known->second;
        }
        if (found == noIndex) {
            const bool firstObject = serial(frame) == 1;
            found = newShape(frame.shape, true, kept);
            if (byKey)
                byKey->emplace(rawKey, found);
            SampleShape& member = types.shapes[found];
            if (rawKey.find('\\') != std::string_view::npos) {
                const auto start = static_cast<std::uint32_t>(types.keys.size());
                appendUnescaped(types.keys, rawKey);
                member.escapedKey = true;
                types.escapedKeys.push_back({found, start, static_cast<std::uint32_t>(types.keys.size() - start)});
            }
            member.inFirst = firstObject;
            member.keyOffset = offsetOf(rawKey.data()) - 1;
            SampleShape& shape = types.shapes[frame.shape];
            if (shape.lastField == noIndex)
                shape.firstField = found;
            else
                types.shapes[shape.lastField].next = found;
            shape.lastField = found;
        }
        return seen(frame, found, rawKey);
    }

    std::uint32_t elementShape(const Frame& frame, bool kept)
    {
        std::uint32_t element = m_storage.types.shapes[frame.shape].element;
        if (element == noIndex) {
            element = newShape(frame.shape, false, kept);
            m_storage.types.shapes[frame.shape].element = element;
        }
        return element;
    }

    Frame frameFor(Keep keep, std::uint32_t node, std::uint32_t shape, std::uint32_t offset)
    {
        Frame frame;
        frame.stored = node != noMember;
        frame.nodeOrCount = frame.stored ? node : 0;
        frame.shape = shape;
        frame.offset = offset;
        frame.keep = keep;
        if (node != noMember)
            m_storage.nodes[node].keep = keep;
        return frame;
    }

    void openObject(Keep keep, std::uint32_t node, std::uint32_t shape, std::uint32_t offset)
    {
        Frame frame = frameFor(keep, node, shape, offset);
        frame.isObject = true;
        ++m_storage.types.shapes[shape].objects;
        frame.object.heldOfFirst = 0;
        frame.object.lastField = noIndex;
        m_stack.push_back(frame);
    }

    void openArray(Keep keep, std::uint32_t node, std::uint32_t shape, std::uint32_t offset, bool firstOfShape)
    {
        Frame frame = frameFor(keep, node, shape, offset);
        frame.array.trail = noIndex;
        frame.array.trailAt = 0;
        frame.firstOfShape = firstOfShape;
        m_arrays.push_back(static_cast<std::uint32_t>(m_stack.size()));
        m_stack.push_back(frame);
    }

    // Notes, as a value closes, how many nodes were stored inside it.
    void storeChildren(const Frame& frame)
    {
        if (frame.stored)
            m_storage.nodes[frame.nodeOrCount].children.descendants =
                static_cast<std::uint32_t>(m_storage.nodes.size() - 1 - frame.nodeOrCount);
    }

    // Notes what a finished object lacked, or that a finished array was empty.
    void close(Frame& frame)
    {
        SampleTypes& types = m_storage.types;
        SampleShape& shape = types.shapes[frame.shape];
        if (!frame.isObject) {
            m_arrays.pop_back();
            if (count(frame) == 0) {
                if (frame.firstOfShape)
                    shape.firstArrayEmpty = true;
                if (!known(shape, RarePlace::empty))
                    setRare(frame.shape, RarePlace::empty, placeOf(frame.shape, frame.offset, 1));
            }
            return;
        }
        const std::uint32_t object = serial(frame);
        if (object == 1 || frame.object.heldOfFirst == firstCount(frame.shape))
            return;
        for (std::uint32_t at = shape.firstField; at != noIndex; at = types.shapes[at].next) {
            const SampleShape& member = types.shapes[at];
            if (member.inFirst && member.lastObject != object && !known(member, RarePlace::missing))
                setRare(at, RarePlace::missing, placeOf(frame.shape, frame.offset, 1));
        }
    }

    simdjson::error_code run()
    {
        while (!m_stack.empty()) {
            Frame& frame = m_stack.back();
            if (step(frame)) {
                storeChildren(frame);
                close(frame);
                m_stack.pop_back();
                continue;
            }
            if (m_error)
                return m_error;
        }
        return simdjson::SUCCESS;
    }

    // Advances `frame` by one child; true when it has none left.
    bool step(Frame& frame)
    {
        if (m_next + lookahead > m_index.count()) {
            m_error = m_index.fill(m_next, lookahead);
            if (m_error)
                return false;
        }
        const std::uint32_t tokens = m_index.count();
        // The text's length follows the last token: one past the end lies padding, which no rule below takes.
        const char next = m_padded[m_index[m_next]];
        if (next == (frame.isObject ? '}' : ']') && m_next < tokens) {
            ++m_next;
            return true;
        }
        const std::uint32_t read = count(frame);
        if (read > 0) {
            if (next != ',' || m_next >= tokens) {
                m_error = simdjson::TAPE_ERROR;
                return false;
            }
            ++m_next;
        }
        const bool keepChild = frame.keep == Keep::all || (frame.keep == Keep::first && read == 0);
        ++(frame.stored ? m_storage.nodes[frame.nodeOrCount].children.size : frame.nodeOrCount);
        std::uint32_t shape = noIndex;
        if (frame.isObject) {
            // A member: its key, a colon, its value.
            const std::string_view quoted = m_next + 1 < tokens ? trimmed(token(m_next)) : std::string_view();
            if (quoted.size() < 2 || quoted.front() != '"' || m_text[m_index[m_next + 1]] != ':') {
                m_error = simdjson::TAPE_ERROR;
                return false;
            }
            m_next += 2;
            shape = memberShape(frame, quoted.substr(1, quoted.size() - 2), keepChild);
        } else {
            shape = elementShape(frame, keepChild);
        }
        const std::uint32_t firstOf = !frame.isObject && read == 0 ? frame.shape : noIndex;
        // `frame` is not used past here: opening a child may move the stack.
        m_error = child(keepChild, frame.keep == Keep::all, shape, firstOf);
        return false;
    }

    // An array whose first element is null or an array tells no element type to the default rules.
    void noteFirstElement(std::uint32_t arrayShape, std::uint32_t elementShape, ValueKind kind, std::uint64_t offset)
    {
        if (arrayShape == noIndex)
            return;
        const RarePlace which = kind == ValueKind::null ? RarePlace::nullFirst : RarePlace::arrayFirst;
        if (!known(m_storage.types.shapes[arrayShape], which))
            setRare(arrayShape, which, placeOf(elementShape, offset, 1));
    }

    // Reads one child; `keep` says whether it is stored. A kept object's children are kept when it was reached
    // through kept objects (`parentKeepsAll`) or as a first element.
    simdjson::error_code child(bool keep, bool parentKeepsAll, std::uint32_t shape, std::uint32_t firstOf)
    {
        if (m_next >= m_index.count())
            return simdjson::TAPE_ERROR;
        const std::string_view token = this->token(m_next++);
        const std::uint32_t offset = offsetOf(token.data());
        switch (token.front()) {
        case '{': {
            if (m_stack.size() >= detail::maxJSONDepth)
                return simdjson::DEPTH_ERROR;
            const std::uint32_t node = keep ? newNode(JSON::Kind::dictionary, shape) : noMember;
            note(shape, ValueKind::object, offset, 1);
            openObject(keep ? Keep::all : Keep::none, node, shape, offset);
            return simdjson::SUCCESS;
        }
        case '[': {
            if (m_stack.size() >= detail::maxJSONDepth)
                return simdjson::DEPTH_ERROR;
            const std::uint32_t node = keep ? newNode(JSON::Kind::array, shape) : noMember;
            const bool firstOfShape = !m_storage.types.shapes[shape].has(ValueKind::array);
            note(shape, ValueKind::array, offset, 1);
            noteFirstElement(firstOf, shape, ValueKind::array, offset);
            openArray(keep && parentKeepsAll ? Keep::first : Keep::none, node, shape, offset, firstOfShape);
            return simdjson::SUCCESS;
        }
        case '"': {
            // The first stage has matched its quotes and checked its bytes; its escapes are checked with all
            // others.
            note(shape, offset, token);
            if (keep) {
                const std::string_view quoted = trimmed(token);
                setText(m_storage.nodes[newNode(JSON::Kind::string, shape)], quoted.substr(1, quoted.size() - 2));
            }
            return simdjson::SUCCESS;
        }
        case 't':
        case 'f': {
            const std::string_view atom = trimmed(token);
            if (atom != "true" && atom != "false")
                return token.front() == 't' ? simdjson::T_ATOM_ERROR : simdjson::F_ATOM_ERROR;
            note(shape, ValueKind::boolean, offset, atom.size());
            if (keep)
                newNode(JSON::Kind::boolean, shape);
            return simdjson::SUCCESS;
        }
        case 'n': {
            if (trimmed(token) != "null")
                return simdjson::N_ATOM_ERROR;
            note(shape, ValueKind::null, offset, 4);
            noteFirstElement(firstOf, shape, ValueKind::null, offset);
            if (keep)
                newNode(JSON::Kind::null, shape);
            return simdjson::SUCCESS;
        }
        default:
            return number(trimmed(token), keep, shape, offset);
        }
    }

    // A string's text (between its quotes): where it stands in the input when it holds no escape, else a copy
    // unescaped.
    void setText(JSONNode& node, std::string_view raw)
    {
        if (raw.find('\\') == std::string_view::npos) {
            node.text.offset = offsetOf(raw.data());
            node.text.length = static_cast<std::uint32_t>(raw.size());
            return;
        }
        node.ownedText = true;
        node.text.offset = static_cast<std::uint32_t>(m_storage.unescaped.size());
        appendUnescaped(m_storage.unescaped, raw);
        node.text.length = static_cast<std::uint32_t>(m_storage.unescaped.size() - node.text.offset);
    }

    simdjson::error_code number(std::string_view token, bool keep, std::uint32_t shape, std::uint32_t offset)
    {
        if (!keep) {
            bool whole = false;
            ValueKind kind = ValueKind::integer;
            if (!shortNumberKind(token, kind, whole)) {
                if (!validNumberToken(token))
                    return simdjson::NUMBER_ERROR;
                kind = kindOf(token, whole);
            }
            note(shape, kind, offset, token.size(), whole && kind == ValueKind::fraction);
            return simdjson::SUCCESS;
        }
        if (!validNumberToken(token))
            return simdjson::NUMBER_ERROR;
        JSONNode node;
        node.kindByte = static_cast<std::uint8_t>(JSON::Kind::number);
        node.shape = shape;
        store(node, token);
        const ValueKind kind = kindOf(node, token);
        // A scalar root is typed nowhere, so it cannot be typed Int.
        note(shape, kind, offset, token.size(),
             shape != 0 && kind == ValueKind::fraction && node.numberType == NumberType::floating &&
                 looksWhole(node.floating));
        m_storage.nodes.push_back(node);
        return simdjson::SUCCESS;
    }

    // A valid number token as the nearest 64-bit integer type that holds it, else as a double: one a double
    // cannot hold (1e400) is wide, kept as the largest double of its sign; one too small for it (1e-400) is 0.
    static void store(JSONNode& node, std::string_view token)
    {
        const char* const end = token.data() + token.size();
        const bool integral = token.find_first_of(".eE") == std::string_view::npos;
        if (integral) {
            if (std::from_chars(token.data(), end, node.integer).ec == std::errc()) {
                node.numberType = NumberType::signedInteger;
                return;
            }
            if (token.front() != '-' && std::from_chars(token.data(), end, node.unsignedInteger).ec == std::errc()) {
                node.numberType = NumberType::unsignedInteger;
                return;
            }
        } else if (std::from_chars(token.data(), end, node.floating).ec == std::errc()) {
            node.numberType = NumberType::floating;
            return;
        }
        const double value = std::strtod(std::string(token).c_str(), nullptr);
        const bool wide = std::isinf(value) || integral;
        node.numberType = wide ? NumberType::wide : NumberType::floating;
        node.floating = std::isinf(value) ? std::copysign(std::numeric_limits<double>::max(), value) : value;
    }

    JSONStorage& m_storage;
    std::string_view m_text;
    // The same text and the padding after it, which the view does not take in.
    const char* m_padded;
    // A step reads at most a comma, a key, a colon and a value, and looks one token further.
    static constexpr std::uint32_t lookahead = 6;
    TokenIndex m_index;
    // The next token to read.
    std::uint32_t m_next = 0;
    std::vector<Frame> m_stack;
    // Positions in m_stack of the array frames, innermost last.
    std::vector<std::uint32_t> m_arrays;
    // Per shape of which a later object lacked members: how many its first object held.
    std::unordered_map<std::uint32_t, std::uint32_t> m_firstCount;
    // Per shape of more than a few fields: its fields by raw key, made when first needed.
    std::unordered_map<std::uint32_t, std::unordered_map<std::string_view, std::uint32_t>> m_byKey;
    // Per repeated field: its entry in SampleTypes::repeatedKeys.
    std::unordered_map<std::uint32_t, std::size_t> m_repeatOf;
    std::uint32_t m_freshShapes = 0;

    simdjson::error_code m_error = simdjson::SUCCESS;
};

} // namespace

const SampleTypes& JSONDocument::types() const noexcept
{
    return m_storage->types;
}

JSONDocument::JSONDocument() = default;
JSONDocument::JSONDocument(JSONDocument&&) noexcept = default;
JSONDocument& JSONDocument::operator=(JSONDocument&&) noexcept = default;
JSONDocument::~JSONDocument() = default;

JSONDocument JSONDocument::parse(std::string_view text)
{
    auto storage = std::make_unique<JSONStorage>();
    std::string& copy = storage->copy;
    copy.reserve(text.size() + padding);
    copy.assign(text);
    copy.append(padding, ' ');
    const std::string_view own(copy.data(), text.size());
    return parse(std::move(storage), own);
}

JSONDocument JSONDocument::parse(PaddedText padded)
{
    return parse(std::make_unique<JSONStorage>(), padded.text);
}

JSONDocument JSONDocument::parse(std::unique_ptr<JSONStorage> owned, std::string_view text)
{
    JSONDocument document;
    document.m_storage = std::move(owned);
    JSONStorage& storage = *document.m_storage;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    storage.text = text;
    storage.types.text = text;
    if (text.size() > maxSize) {
        // Not a fault of the text: no check of its syntax would say more.
        document.m_error = std::make_unique<JSONError>();
        document.m_error->reason = "longer than 4 GiB, which is more than can be read";
        return document;
    }

    // simdjson's first stage indexes the tokens and checks the text's UTF-8 and its strings' bytes; the reader
    // takes the rest.
    simdjson::error_code error = Reader(storage, text).read();
    if (!error && !escapesValid(text))
        error = simdjson::STRING_ERROR;
    if (!error) {
        document.m_root = JSONAccess::make(&storage, 0);
        return document;
    }

    // Running out of memory says nothing about the text: it must not be reported as text that is not JSON.
    if (error == simdjson::MEMALLOC)
        throw std::bad_alloc();
    storage.nodes = {};
    storage.unescaped = {};
    storage.types = SampleTypes{};
    detail::SyntaxCheck check = detail::checkJSONSyntax(text);
    if (check.error) {
        document.m_error = std::make_unique<JSONError>(std::move(*check.error));
    } else {
        // The checker found the text sound where the parser did not: say what the parser said.
        document.m_error = std::make_unique<JSONError>();
        document.m_error->reason = simdjson::error_message(error);
        document.m_error->offset = text.size();
        detail::locate(*document.m_error, text);
    }
    return document;
}

} // namespace morvex
