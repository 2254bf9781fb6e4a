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
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace morvex {

namespace od = simdjson::ondemand;

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
    Keep keep = Keep::none; // of an object or array: which children are stored
    bool ownedText = false; // a string unescaped into the storage's own text, not standing as it is in the input
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

    std::string_view key(const JSONNode& member) const
    {
        return types.key(types.fields[types.shapes[member.shape].field]);
    }
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
    const std::uint32_t field = types.shapes[node->shape].field;
    return field == noIndex ? std::string_view() : types.key(types.fields[field]);
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
// The parser checks escapes only of the strings it unescapes, and those are few.
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

// Where a member's raw key (just after its opening quote) ends: at the quote before the colon that precedes
// its value. The parser has already matched the quotes, so no escape needs reading here.
std::size_t rawKeyLength(const char* raw, const char* value)
{
    const char* at = value - 1;
    while (isSpace(*at))
        --at;
    --at; // the colon
    while (isSpace(*at))
        --at;
    return static_cast<std::size_t>(at - raw);
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

// A key the reader did not keep, unescaped (its escapes are checked with all others).
std::string unescapeKey(std::string_view raw)
{
    if (raw.find('\\') == std::string_view::npos)
        return std::string(raw);
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 >= raw.size()) {
            out += raw[i];
            continue;
        }
        const char escaped = raw[++i];
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
                return out;
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
    return out;
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

// Walks the whole document once, without recursion, validating every value, keeping what the generator
// reads (see `Keep`) and merging every value into the shape of its position.
class Reader
{
public:
    Reader(JSONStorage& storage, std::string_view text) : m_storage(storage), m_text(text) {}

    simdjson::error_code read(od::document& document)
    {
        od::json_type type;
        if (auto error = document.type().get(type))
            return error;
        const std::uint32_t shape = newShape(noIndex, noIndex, true);
        std::uint32_t offset = 0;
        if (auto token = document.raw_json_token(); !token.error())
            offset = offsetOf(token.value_unsafe().data());
        if (type == od::json_type::object) {
            od::object object;
            if (auto error = document.get_object().get(object))
                return error;
            note(shape, ValueKind::object, offset, 1);
            if (auto error = open(object, Keep::all, newNode(JSON::Kind::dictionary, shape), shape, offset))
                return error;
        } else if (type == od::json_type::array) {
            od::array array;
            if (auto error = document.get_array().get(array))
                return error;
            note(shape, ValueKind::array, offset, 1);
            if (auto error = open(array, Keep::all, newNode(JSON::Kind::array, shape), shape, offset, true))
                return error;
        } else {
            // A scalar document is checked whole here: the parser's own end check misses "falsey".
            return rootScalar(document, type);
        }
        if (auto error = run())
            return error;
        return atEnd(document);
    }

private:
    // At the end the parser has no location left; a location means text after the value, or that the parser
    // stopped on an error of its own.
    static simdjson::error_code atEnd(od::document& document)
    {
        return document.current_location().error() == simdjson::OUT_OF_BOUNDS ? simdjson::SUCCESS
                                                                              : simdjson::TRAILING_CONTENT;
    }

    // One per open object or array: as deep text holds a million of them, kept small.
    // This object's number among the objects of its shape, how many members of the first it held, and the field
    // its last member was (objects of a shape mostly list their members alike, so the next one is tried first).
    struct ObjectState
    {
        std::uint32_t serial;
        std::uint32_t heldOfFirst;
        std::uint32_t lastField;
    };

    // The trail step naming this array's current element, made when a place first needs it.
    struct ArrayState
    {
        std::uint32_t trail;
        std::uint32_t trailAt;
        bool firstOfShape;
    };

    union Iterator
    {
        Iterator() : object() {}
        od::object_iterator object;
        od::array_iterator array;
    };
    static_assert(std::is_trivially_copyable_v<od::object_iterator> &&
                  std::is_trivially_copyable_v<od::array_iterator>);

    struct Frame
    {
        Iterator at;
        std::uint32_t node = noMember;
        std::uint32_t count = 0;
        std::uint32_t shape = noIndex;
        std::uint32_t offset = 0;
        union
        {
            ObjectState object;
            ArrayState array;
        };
        bool started = false;
        bool isObject = false;
        Keep keep = Keep::none;
    };

    std::uint32_t offsetOf(const char* at) const { return static_cast<std::uint32_t>(at - m_text.data()); }

    std::uint32_t newNode(JSON::Kind kind, std::uint32_t shape)
    {
        m_storage.nodes.emplace_back();
        m_storage.nodes.back().kindByte = static_cast<std::uint8_t>(kind);
        m_storage.nodes.back().shape = shape;
        return static_cast<std::uint32_t>(m_storage.nodes.size() - 1);
    }

    // A field's key as it stands in the text, escapes and all.
    std::string_view rawKey(const SampleField& field) const
    {
        return {m_text.data() + field.keyPlace.offset + 1, field.keyPlace.length - 2};
    }

    std::uint32_t newShape(std::uint32_t parent, std::uint32_t field, bool kept)
    {
        auto& shapes = m_storage.types.shapes;
        shapes.emplace_back();
        shapes.back().parent = parent;
        shapes.back().field = field;
        shapes.back().kept = kept;
        m_firstCount.push_back(0);
        return static_cast<std::uint32_t>(shapes.size() - 1);
    }

    // The trail of array indices to the current value, made as far as it is not yet.
    std::uint32_t currentTrail()
    {
        std::size_t fresh = m_arrays.size();
        while (fresh > 0) {
            const Frame& frame = m_stack[m_arrays[fresh - 1]];
            if (frame.array.trail != noIndex && frame.array.trailAt == frame.count)
                break;
            --fresh;
        }
        std::uint32_t trail = fresh == 0 ? noIndex : m_stack[m_arrays[fresh - 1]].array.trail;
        auto& trails = m_storage.types.trails;
        for (std::size_t i = fresh; i < m_arrays.size(); ++i) {
            Frame& frame = m_stack[m_arrays[i]];
            trails.push_back({trail, frame.count == 0 ? 0 : frame.count - 1});
            frame.array.trail = trail = static_cast<std::uint32_t>(trails.size() - 1);
            frame.array.trailAt = frame.count;
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
        if ((shape.kinds & kindBit(kind)) == 0 || (whole && !shape.wholeLookingPlace().known()))
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
        if (whole && !shape.wholeLookingPlace().known())
            shape.rarePlaces().wholeLookingPlace = placeOf(id, offset, length);
        if ((shape.kinds & bit) != 0)
            return;
        const Place place = placeOf(id, offset, length);
        if (shape.kinds == 0) {
            shape.firstKind = kind;
            shape.firstPlace = place;
        } else if (!shape.otherPlace().known()) {
            shape.otherKind = kind;
            shape.rarePlaces().otherPlace = place;
        }
        if (kind == ValueKind::null)
            shape.rarePlaces().nullPlace = place;
        if (kind == ValueKind::wide)
            shape.rarePlaces().widePlace = place;
        shape.kinds |= bit;
    }

    // The shape of the member `rawKey` of the object `frame` reads (its `count`-th member). Objects of one shape
    // mostly list their members in the same order: that case stays inline.
    std::uint32_t memberShape(Frame& frame, std::string_view rawKey, std::string_view key, bool kept)
    {
        const SampleTypes& types = m_storage.types;
        const std::uint32_t last = frame.object.lastField;
        const std::uint32_t hint = last == noIndex ? types.shapes[frame.shape].firstField : types.fields[last].next;
        if (hint != noIndex && sameKey(this->rawKey(types.fields[hint]), rawKey))
            return seen(frame, hint, rawKey);
        return findMemberShape(frame, rawKey, key, kept);
    }

    std::uint32_t seen(Frame& frame, std::uint32_t id, std::string_view rawKey)
    {
        frame.object.lastField = id;
        SampleField& field = m_storage.types.fields[id];
        if (field.lastObject != frame.object.serial) {
            field.lastObject = frame.object.serial;
            ++field.present;
            if (field.inFirst)
                ++frame.object.heldOfFirst;
        } else {
            return repeated(frame, id, rawKey);
        }
        return field.shape;
    }

    // A key standing again in one object, which keeps its last value. In the first object of a shape, on the path
    // the code is read from, what was noted of the earlier value is set aside (its shape started again, or left
    // behind for a fresh one), so that what is said about the member is said of the last.
    [[gnu::noinline]] std::uint32_t repeated(const Frame& frame, std::uint32_t id, std::string_view rawKey)
    {
        SampleTypes& types = m_storage.types;
        const auto [entry, first] = m_repeatOf.try_emplace(id, types.repeatedKeys.size());
        if (first)
            types.repeatedKeys.push_back(
                {id, placeOf(types.fields[id].shape, offsetOf(rawKey.data()) - 1, rawKey.size() + 2)});
        // Past a limit a value with members or elements merges with the earlier ones again, so that a flood of
        // repeats cannot grow memory by a shape tree each.
        constexpr std::uint32_t freshLimit = 10'000;
        const std::uint32_t earlier = types.fields[id].shape;
        const bool leaf = types.shapes[earlier].firstField == noIndex && types.shapes[earlier].element == noIndex;
        if (frame.object.serial == 1 && frame.keep == Keep::all && (leaf || m_freshShapes < freshLimit)) {
            const SampleShape& was = types.shapes[earlier];
            types.repeatedKeys[entry->second].earlierKinds |= was.kinds;
            if (leaf) {
                // Nothing lies inside it: it is started again, so that a key repeated without end costs nothing.
                SampleShape again;
                again.parent = was.parent;
                again.field = was.field;
                again.kept = true;
                types.shapes[earlier] = std::move(again);
                m_firstCount[earlier] = 0;
            } else {
                ++m_freshShapes;
                const std::uint32_t fresh = newShape(frame.shape, id, true);
                types.fields[id].shape = fresh;
                types.fields[id].keyPlace.shape = fresh;
            }
        }
        return types.fields[id].shape;
    }

    [[gnu::noinline]] std::uint32_t findMemberShape(Frame& frame, std::string_view rawKey, std::string_view key,
                                                    bool kept)
    {
        SampleTypes& types = m_storage.types;
        // Few fields are searched in order; a shape of more is searched by key, in a table made when first needed.
        constexpr std::size_t fewFields = 8;
        std::uint32_t found = noIndex;
        std::uint32_t at = types.shapes[frame.shape].firstField;
        for (std::size_t searched = 0; at != noIndex && searched < fewFields; ++searched, at = types.fields[at].next) {
            if (sameKey(this->rawKey(types.fields[at]), rawKey)) {
                found = at;
                break;
            }
        }
        std::unordered_map<std::string_view, std::uint32_t>* byKey = nullptr;
        if (found == noIndex && at != noIndex) {
            byKey = &m_byKey[frame.shape];
            if (byKey->empty()) {
                for (std::uint32_t field = types.shapes[frame.shape].firstField; field != noIndex;
                     field = types.fields[field].next)
                    byKey->emplace(this->rawKey(types.fields[field]), field);
            }
            if (auto known = byKey->find(rawKey); known != byKey->end())
                found = known->second;
        }
        if (found == noIndex) {
            found = static_cast<std::uint32_t>(types.fields.size());
            if (byKey)
                byKey->emplace(rawKey, found);
            const bool firstObject = frame.object.serial == 1;
            const std::uint32_t child = newShape(frame.shape, found, kept);
            SampleField field;
            field.keyAt = static_cast<std::uint32_t>(types.keys.size());
            if (kept)
                types.keys += key;
            else
                types.keys += unescapeKey(rawKey);
            field.keySize = static_cast<std::uint32_t>(types.keys.size() - field.keyAt);
            field.shape = child;
            field.inFirst = firstObject;
            const std::uint64_t keyOffset = offsetOf(rawKey.data()) - 1;
            field.keyPlace = placeOf(child, keyOffset, rawKey.size() + 2);
            types.fields.push_back(field);
            SampleShape& shape = types.shapes[frame.shape];
            if (shape.lastField == noIndex)
                shape.firstField = found;
            else
                types.fields[shape.lastField].next = found;
            shape.lastField = found;
            if (firstObject)
                ++m_firstCount[frame.shape];
        }
        return seen(frame, found, rawKey);
    }

    std::uint32_t elementShape(const Frame& frame, bool kept)
    {
        std::uint32_t element = m_storage.types.shapes[frame.shape].element;
        if (element == noIndex) {
            element = newShape(frame.shape, noIndex, kept);
            m_storage.types.shapes[frame.shape].element = element;
        }
        return element;
    }

    Frame frameFor(Keep keep, std::uint32_t node, std::uint32_t shape, std::uint32_t offset)
    {
        Frame frame;
        frame.node = node;
        frame.shape = shape;
        frame.offset = offset;
        frame.keep = keep;
        if (node != noMember)
            m_storage.nodes[node].keep = keep;
        return frame;
    }

    simdjson::error_code open(od::object& object, Keep keep, std::uint32_t node, std::uint32_t shape,
                              std::uint32_t offset)
    {
        Frame frame = frameFor(keep, node, shape, offset);
        frame.isObject = true;
        frame.object.serial = static_cast<std::uint32_t>(++m_storage.types.shapes[shape].objects);
        frame.object.heldOfFirst = 0;
        frame.object.lastField = noIndex;
        if (auto error = object.begin().get(frame.at.object))
            return error;
        m_stack.push_back(frame);
        return simdjson::SUCCESS;
    }

    simdjson::error_code open(od::array& array, Keep keep, std::uint32_t node, std::uint32_t shape,
                              std::uint32_t offset, bool firstOfShape)
    {
        Frame frame = frameFor(keep, node, shape, offset);
        frame.array.trail = noIndex;
        frame.array.trailAt = 0;
        frame.array.firstOfShape = firstOfShape;
        if (auto error = array.begin().get(frame.at.array))
            return error;
        m_arrays.push_back(static_cast<std::uint32_t>(m_stack.size()));
        m_stack.push_back(frame);
        return simdjson::SUCCESS;
    }

    // Notes, as a value closes, how many children it has and how many nodes were stored inside it.
    void storeChildren(const Frame& frame)
    {
        if (frame.node == noMember)
            return;
        JSONNode& node = m_storage.nodes[frame.node];
        node.children.descendants = static_cast<std::uint32_t>(m_storage.nodes.size() - 1 - frame.node);
        node.children.size = frame.count;
    }

    // Notes what a finished object lacked, or that a finished array was empty.
    void close(Frame& frame)
    {
        SampleTypes& types = m_storage.types;
        SampleShape& shape = types.shapes[frame.shape];
        if (!frame.isObject) {
            m_arrays.pop_back();
            if (frame.count == 0) {
                if (frame.array.firstOfShape)
                    shape.firstArrayEmpty = true;
                if (!shape.emptyPlace().known())
                    shape.rarePlaces().emptyPlace = placeOf(frame.shape, frame.offset, 1);
            }
            return;
        }
        if (frame.object.serial == 1 || frame.object.heldOfFirst == m_firstCount[frame.shape])
            return;
        for (std::uint32_t at = shape.firstField; at != noIndex; at = types.fields[at].next) {
            SampleField& field = types.fields[at];
            if (field.inFirst && field.lastObject != frame.object.serial && field.missing == noIndex) {
                field.missing = static_cast<std::uint32_t>(types.places.size());
                types.places.push_back(placeOf(frame.shape, frame.offset, 1));
            }
        }
    }

    simdjson::error_code run()
    {
        while (!m_stack.empty()) {
            Frame& frame = m_stack.back();
            const bool done = frame.isObject ? step(frame, frame.at.object) : step(frame, frame.at.array);
            if (done) {
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
    template <typename Iterator>
    [[gnu::always_inline]] bool step(Frame& frame, Iterator& at)
    {
        if (frame.started)
            ++at;
        frame.started = true;
        if (!(at != at))
            return true;
        const bool keepChild = frame.keep == Keep::all || (frame.keep == Keep::first && frame.count == 0);
        std::string_view key;
        od::value value;
        std::string_view token;
        ++frame.count;
        std::uint32_t shape = noIndex;
        if constexpr (std::is_same_v<Iterator, od::object_iterator>) {
            od::field field;
            if ((m_error = (*at).get(field)))
                return false;
            value = field.value();
            token = value.raw_json_token();
            const char* raw = field.key().raw();
            const std::string_view rawKey(raw, rawKeyLength(raw, token.data()));
            // A key without escapes is its own text: only the others are unescaped (and so copied).
            if (frame.keep == Keep::all) {
                if (rawKey.find('\\') == std::string_view::npos)
                    key = rawKey;
                else if ((m_error = field.unescaped_key().get(key)))
                    return false;
            }
            shape = memberShape(frame, rawKey, key, keepChild);
        } else {
            if ((m_error = (*at).get(value)))
                return false;
            token = value.raw_json_token();
            shape = elementShape(frame, keepChild);
        }
        const std::uint32_t firstOf = !frame.isObject && frame.count == 1 ? frame.shape : noIndex;
        m_error = child(value, token, keepChild ? frame.node : noMember, frame.keep == Keep::all, shape, firstOf);
        return false;
    }

    // An array whose first element is null or an array tells no element type to the default rules.
    void noteFirstElement(std::uint32_t arrayShape, std::uint32_t elementShape, ValueKind kind, std::uint64_t offset)
    {
        if (arrayShape == noIndex)
            return;
        SampleShape& array = m_storage.types.shapes[arrayShape];
        if ((kind == ValueKind::null ? array.nullFirstPlace() : array.arrayFirstPlace()).known())
            return;
        SampleShapeRare& rare = array.rarePlaces();
        (kind == ValueKind::null ? rare.nullFirstPlace : rare.arrayFirstPlace) = placeOf(elementShape, offset, 1);
    }

    // Reads one child; `parent` is noMember when nothing of it is kept. A kept object's children are kept
    // when it was reached through kept objects (`parentKeepsAll`) or as a first element.
    [[gnu::always_inline]] simdjson::error_code child(od::value& value, std::string_view token, std::uint32_t parent,
                                                      bool parentKeepsAll, std::uint32_t shape, std::uint32_t firstOf)
    {
        od::json_type type;
        if (auto error = value.type().get(type))
            return error;
        const bool keep = parent != noMember;
        const std::uint32_t offset = offsetOf(token.data());
        switch (type) {
        case od::json_type::object: {
            od::object object;
            if (auto error = value.get_object().get(object))
                return error;
            const std::uint32_t node = keep ? newNode(JSON::Kind::dictionary, shape) : noMember;
            note(shape, ValueKind::object, offset, 1);
            return open(object, keep ? Keep::all : Keep::none, node, shape, offset);
        }
        case od::json_type::array: {
            od::array array;
            if (auto error = value.get_array().get(array))
                return error;
            const std::uint32_t node = keep ? newNode(JSON::Kind::array, shape) : noMember;
            const bool firstOfShape = !m_storage.types.shapes[shape].has(ValueKind::array);
            note(shape, ValueKind::array, offset, 1);
            noteFirstElement(firstOf, shape, ValueKind::array, offset);
            return open(array, keep && parentKeepsAll ? Keep::first : Keep::none, node, shape, offset, firstOfShape);
        }
        case od::json_type::number:
            return number(value, token, parent, shape, offset);
        case od::json_type::string: {
            note(shape, offset, token);
            const std::string_view quoted = keep ? trimmed(token) : std::string_view();
            const bool plain =
                keep && quoted.size() >= 2 && quoted.back() == '"' && quoted.find('\\') == std::string_view::npos;
            if (!keep || plain) {
                // Taken, not skipped: the parser's skip would read a string followed by ':' as a member name.
                // Its escapes are checked with all others; one without any is stored as it stands.
                od::raw_json_string raw;
                if (auto error = value.get_raw_json_string().get(raw); error || !keep)
                    return error;
                const std::uint32_t node = newNode(JSON::Kind::string, shape);
                setText(m_storage.nodes[node], quoted, quoted.substr(1, quoted.size() - 2));
                return simdjson::SUCCESS;
            }
            std::string_view text;
            if (auto error = value.get_string().get(text))
                return error;
            const std::uint32_t node = newNode(JSON::Kind::string, shape);
            setText(m_storage.nodes[node], trimmed(token), text);
            return simdjson::SUCCESS;
        }
        case od::json_type::boolean: {
            bool flag = false;
            if (auto error = value.get_bool().get(flag))
                return error;
            note(shape, ValueKind::boolean, offset, flag ? 4 : 5);
            if (keep)
                newNode(JSON::Kind::boolean, shape);
            return simdjson::SUCCESS;
        }
        case od::json_type::null: {
            bool isNull = false;
            if (auto error = value.is_null().get(isNull))
                return error;
            if (!isNull)
                return simdjson::N_ATOM_ERROR;
            note(shape, ValueKind::null, offset, 4);
            noteFirstElement(firstOf, shape, ValueKind::null, offset);
            if (keep)
                newNode(JSON::Kind::null, shape);
            return simdjson::SUCCESS;
        }
        }
        return simdjson::TAPE_ERROR;
    }

    // A string's text: where it stands in the input when it holds no escape, else a copy unescaped.
    void setText(JSONNode& node, std::string_view token, std::string_view text)
    {
        if (token.size() == text.size() + 2) {
            node.text.offset = offsetOf(token.data()) + 1;
        } else {
            node.ownedText = true;
            node.text.offset = static_cast<std::uint32_t>(m_storage.unescaped.size());
            m_storage.unescaped += text;
        }
        node.text.length = static_cast<std::uint32_t>(text.size());
    }

    simdjson::error_code number(od::value& value, std::string_view raw, std::uint32_t parent, std::uint32_t shape,
                                std::uint32_t offset)
    {
        const std::string_view token = trimmed(raw);
        if (parent == noMember) {
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
        JSONNode node;
        node.kindByte = static_cast<std::uint8_t>(JSON::Kind::number);
        node.shape = shape;
        od::number parsed;
        if (value.get_number().get(parsed) == simdjson::SUCCESS) {
            store(node, parsed, token);
        } else if (!widen(node, token)) {
            return simdjson::NUMBER_ERROR;
        }
        const ValueKind kind = kindOf(node, token);
        note(shape, kind, offset, token.size(),
             kind == ValueKind::fraction && node.numberType == NumberType::floating && looksWhole(node.floating));
        m_storage.nodes.push_back(node);
        return simdjson::SUCCESS;
    }

    simdjson::error_code rootScalar(od::document& document, od::json_type type)
    {
        std::string_view whole = trimmed(m_text);
        while (!whole.empty() && isSpace(whole.front()))
            whole.remove_prefix(1);
        const std::uint32_t node = newNode(JSON::Kind::null, 0);
        JSONNode& root = m_storage.nodes[node];
        const std::uint32_t offset = offsetOf(whole.data());
        switch (type) {
        case od::json_type::number: {
            if (!validNumberToken(whole))
                return simdjson::NUMBER_ERROR;
            root.kindByte = static_cast<std::uint8_t>(JSON::Kind::number);
            od::number parsed;
            if (document.get_number().get(parsed) == simdjson::SUCCESS)
                store(root, parsed, whole);
            else
                widen(root, whole);
            note(0, kindOf(root, whole), offset, whole.size());
            return simdjson::SUCCESS;
        }
        case od::json_type::string: {
            root.kindByte = static_cast<std::uint8_t>(JSON::Kind::string);
            note(0, ValueKind::string, offset, whole.size());
            std::string_view text;
            if (auto error = document.get_string().get(text))
                return error;
            setText(root, whole, text);
            return atEnd(document);
        }
        case od::json_type::boolean:
            root.kindByte = static_cast<std::uint8_t>(JSON::Kind::boolean);
            note(0, ValueKind::boolean, offset, whole.size());
            return whole == "true" || whole == "false" ? simdjson::SUCCESS : simdjson::T_ATOM_ERROR;
        case od::json_type::null:
            note(0, ValueKind::null, offset, whole.size());
            return whole == "null" ? simdjson::SUCCESS : simdjson::N_ATOM_ERROR;
        default:
            return simdjson::TAPE_ERROR;
        }
    }

    // simdjson 3.0's number reader gives 0 for a fraction of about 18 digits or more (123456789012345678.5),
    // so fractions are converted from their text; the conversion is correctly rounded, as the parser's is.
    static void store(JSONNode& node, od::number parsed, std::string_view token)
    {
        switch (parsed.get_number_type()) {
        case od::number_type::signed_integer:
            node.numberType = NumberType::signedInteger;
            node.integer = parsed.get_int64();
            break;
        case od::number_type::unsigned_integer:
            node.numberType = NumberType::unsignedInteger;
            node.unsignedInteger = parsed.get_uint64();
            break;
        default:
            node.numberType = NumberType::floating;
            node.floating = parsed.get_double();
            double exact = 0;
            if (std::from_chars(token.data(), token.data() + token.size(), exact).ec == std::errc())
                node.floating = exact;
        }
    }

    // A number the parser refused for its size: valid JSON all the same when the grammar holds.
    static bool widen(JSONNode& node, std::string_view token)
    {
        if (!validNumberToken(token))
            return false;
        double value = std::strtod(std::string(token).c_str(), nullptr);
        if (std::isinf(value))
            value = std::copysign(std::numeric_limits<double>::max(), value);
        node.numberType = NumberType::wide;
        node.floating = value;
        return true;
    }

    JSONStorage& m_storage;
    std::string_view m_text;
    std::vector<Frame> m_stack;
    // Positions in m_stack of the array frames, innermost last.
    std::vector<std::uint32_t> m_arrays;
    // Per shape: how many fields its first object held.
    std::vector<std::uint32_t> m_firstCount;
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
    if (text.size() > maxSize) {
        // Not a fault of the text: no check of its syntax would say more.
        document.m_error = std::make_unique<JSONError>();
        document.m_error->reason = "longer than 4 GiB, which is more than can be read";
        return document;
    }

    // A document can nest no deeper than half its length; asking for more would only reserve memory.
    const std::size_t depth = std::min(text.size() / 2 + 2, detail::maxJSONDepth);
    // Nothing stored points into the parser: its index of the text is freed once the document is read.
    auto parser = std::make_unique<od::parser>();
    simdjson::error_code error = parser->allocate(std::max<std::size_t>(text.size(), 64), depth);
    if (!error) {
        od::document parsed;
        error =
            parser->iterate(simdjson::padded_string_view(text.data(), text.size(), text.size() + padding)).get(parsed);
        if (!error)
            error = Reader(storage, text).read(parsed);
        if (!error && !escapesValid(text))
            error = simdjson::STRING_ERROR;
    }
    if (!error) {
        document.m_root = JSONAccess::make(&storage, 0);
        return document;
    }

    // Running out of memory says nothing about the text: it must not be reported as text that is not JSON.
    if (error == simdjson::MEMALLOC)
        throw std::bad_alloc();
    parser.reset();
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
