#include "morvex/JSON.h"

#include "JSONSyntax.h"

#include <algorithm>
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

struct JSONNode
{
    JSON::Kind kind = JSON::Kind::null;
    NumberType numberType = NumberType::signedInteger;
    // Which one holds the number is told by numberType.
    union
    {
        std::int64_t integer = 0;
        std::uint64_t unsignedInteger;
        double floating;
    };
    std::string_view text;
    std::uint64_t size = 0;
    std::uint32_t firstMember = noMember;
    std::uint32_t lastMember = noMember;
    std::uint32_t shape = noIndex;
};

struct JSONMember
{
    std::string_view key;
    std::uint32_t node;
    std::uint32_t next = noMember;
};

struct JSONStorage
{
    od::parser parser;
    std::string copy; // the padded text, when the caller's had no padding
    std::vector<JSONNode> nodes;
    std::vector<JSONMember> members;
    SampleTypes types;
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
    return node ? node->kind : Kind::null;
}

double JSON::doubleValue() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    if (!node || node->kind != Kind::number)
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
    if (!node || node->kind != Kind::number)
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
    if (!node || node->kind != Kind::number)
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
    if (!node || node->kind != Kind::number)
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
    return node && node->kind == Kind::string ? node->text : std::string_view();
}

std::size_t JSON::size() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    return node && (node->kind == Kind::array || node->kind == Kind::dictionary) ? node->size : 0;
}

std::uint32_t JSON::shape() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    return node ? node->shape : noIndex;
}

JSON JSON::firstElement() const noexcept
{
    const JSONNode* node = JSONAccess::node(*this);
    if (!node || node->kind != Kind::array || node->firstMember == noMember)
        return {};
    return JSONAccess::make(m_storage, m_storage->members[node->firstMember].node);
}

JSONIterator::JSONIterator(const JSON& value) noexcept
    : m_storage(value.m_storage), m_kind(value.kind()), m_member(noMember)
{
    if (m_kind == JSON::Kind::array || m_kind == JSON::Kind::dictionary)
        m_member = JSONAccess::node(value)->firstMember;
}

bool JSONIterator::next(std::string_view& key, JSON& value) noexcept
{
    if (m_member == noMember)
        return false;
    const auto& member = m_storage->members[m_member];
    if (m_kind == JSON::Kind::array) {
        m_indexKey = std::to_string(m_index++);
        key = m_indexKey;
    } else {
        key = member.key;
    }
    value = JSONAccess::make(m_storage, member.node);
    m_member = member.next;
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

// Where a raw key (just after its opening quote) ends: at the first quote no backslash escapes.
std::size_t rawKeyLength(const char* raw)
{
    std::size_t length = 0;
    while (raw[length] != '"')
        length += raw[length] == '\\' ? 2 : 1;
    return length;
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

// The kind of a number token not kept: `whole` tells whether the default rules would type it `Int`.
ValueKind kindOf(std::string_view token, bool& whole)
{
    const char* end = token.data() + token.size();
    if (token.find_first_of(".eE") == std::string_view::npos) {
        std::int64_t integer = 0;
        return std::from_chars(token.data(), end, integer).ec == std::errc() ? ValueKind::integer : ValueKind::wide;
    }
    double value = 0;
    if (std::from_chars(token.data(), end, value).ec != std::errc())
        return ValueKind::wide;
    whole = looksWhole(value);
    return floatingKind(value);
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
        m_storage.nodes.reserve(64);
        m_storage.members.reserve(64);
        const std::uint32_t shape = newShape(noIndex, noIndex, true);
        std::uint64_t offset = 0;
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
            if (auto error = open(array, Keep::all, newNode(JSON::Kind::array, shape), shape, offset))
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

    struct Frame
    {
        bool isObject;
        bool started = false;
        Keep keep;
        std::uint32_t node;
        std::uint64_t count = 0;
        od::object_iterator objectAt;
        od::array_iterator arrayAt;
        std::uint32_t shape = noIndex;
        std::uint64_t offset = 0;
        // This object's number among the objects of its shape, and how many members of the first it held.
        std::uint64_t serial = 0;
        std::uint64_t heldOfFirst = 0;
        // The trail step naming this array's current element, made when a place first needs it.
        std::uint32_t trail = noIndex;
        std::uint64_t trailAt = 0;
    };

    // Lookup aids for a shape's fields by their raw key; needed only while reading.
    struct FieldIndex
    {
        std::vector<std::string_view> raw;
        std::unordered_map<std::string_view, std::uint32_t> byKey;
        std::uint64_t firstCount = 0;
    };

    std::uint64_t offsetOf(const char* at) const { return static_cast<std::uint64_t>(at - m_text.data()); }

    std::uint32_t newNode(JSON::Kind kind, std::uint32_t shape)
    {
        m_storage.nodes.emplace_back();
        m_storage.nodes.back().kind = kind;
        m_storage.nodes.back().shape = shape;
        return static_cast<std::uint32_t>(m_storage.nodes.size() - 1);
    }

    std::uint32_t newShape(std::uint32_t parent, std::uint32_t field, bool kept)
    {
        auto& shapes = m_storage.types.shapes;
        shapes.emplace_back();
        shapes.back().parent = parent;
        shapes.back().field = field;
        shapes.back().kept = kept;
        m_index.emplace_back();
        return static_cast<std::uint32_t>(shapes.size() - 1);
    }

    // The trail of array indices to the current value, made as far as it is not yet.
    std::uint32_t currentTrail()
    {
        std::size_t fresh = m_arrays.size();
        while (fresh > 0) {
            const Frame& frame = m_stack[m_arrays[fresh - 1]];
            if (frame.trail != noIndex && frame.trailAt == frame.count)
                break;
            --fresh;
        }
        std::uint32_t trail = fresh == 0 ? noIndex : m_stack[m_arrays[fresh - 1]].trail;
        auto& trails = m_storage.types.trails;
        for (std::size_t i = fresh; i < m_arrays.size(); ++i) {
            Frame& frame = m_stack[m_arrays[i]];
            trails.push_back({trail, frame.count == 0 ? 0 : frame.count - 1});
            frame.trail = trail = static_cast<std::uint32_t>(trails.size() - 1);
            frame.trailAt = frame.count;
        }
        return trail;
    }

    Place placeOf(std::uint32_t shape, std::uint64_t offset, std::uint64_t length)
    {
        return Place{offset, length, shape, currentTrail()};
    }

    // Merges one value into its shape; places are taken only where something is seen for the first time.
    void note(std::uint32_t id, ValueKind kind, std::uint64_t offset, std::uint64_t length, bool whole = false)
    {
        SampleShape& shape = m_storage.types.shapes[id];
        ++shape.count;
        const std::uint16_t bit = kindBit(kind);
        if (whole && !shape.wholeLookingPlace.known())
            shape.wholeLookingPlace = placeOf(id, offset, length);
        if ((shape.kinds & bit) != 0)
            return;
        const Place place = placeOf(id, offset, length);
        if (shape.kinds == 0) {
            shape.firstKind = kind;
            shape.firstPlace = place;
        } else if (!shape.otherPlace.known()) {
            shape.otherKind = kind;
            shape.otherPlace = place;
        }
        if (kind == ValueKind::null)
            shape.nullPlace = place;
        if (kind == ValueKind::wide)
            shape.widePlace = place;
        shape.kinds |= bit;
    }

    // The shape of the member `rawKey` of the object `frame` reads (its `count`-th member).
    std::uint32_t memberShape(Frame& frame, std::string_view rawKey, std::string_view key, bool kept)
    {
        FieldIndex& index = m_index[frame.shape];
        const std::size_t hint = frame.count - 1;
        std::uint32_t found = noIndex;
        if (hint < index.raw.size() && index.raw[hint] == rawKey) {
            found = static_cast<std::uint32_t>(hint);
        } else if (index.raw.size() <= 8) {
            for (std::size_t i = 0; i < index.raw.size(); ++i) {
                if (index.raw[i] == rawKey) {
                    found = static_cast<std::uint32_t>(i);
                    break;
                }
            }
        } else {
            if (index.byKey.empty()) {
                for (std::size_t i = 0; i < index.raw.size(); ++i)
                    index.byKey.emplace(index.raw[i], static_cast<std::uint32_t>(i));
            }
            if (auto at = index.byKey.find(rawKey); at != index.byKey.end())
                found = at->second;
        }
        const bool firstObject = frame.serial == 1;
        if (found == noIndex) {
            found = static_cast<std::uint32_t>(index.raw.size());
            index.raw.push_back(rawKey);
            if (!index.byKey.empty())
                index.byKey.emplace(rawKey, found);
            const std::uint32_t child = newShape(frame.shape, found, kept);
            SampleField field;
            field.key = kept ? std::string(key) : unescapeKey(rawKey);
            field.shape = child;
            field.inFirst = firstObject;
            const std::uint64_t keyOffset = offsetOf(rawKey.data()) - 1;
            field.keyPlace = placeOf(child, keyOffset, rawKey.size() + 2);
            // Both references are taken after the new shape: its creation may move the vectors.
            m_storage.types.shapes[frame.shape].fields.push_back(std::move(field));
            if (firstObject)
                ++m_index[frame.shape].firstCount;
        }
        SampleField& field = m_storage.types.shapes[frame.shape].fields[found];
        if (field.lastObject != frame.serial) {
            field.lastObject = frame.serial;
            ++field.present;
            if (field.inFirst)
                ++frame.heldOfFirst;
        }
        return field.shape;
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

    void attach(std::uint32_t parent, std::string_view key, std::uint32_t child)
    {
        auto& members = m_storage.members;
        members.push_back({key, child});
        const auto index = static_cast<std::uint32_t>(members.size() - 1);
        JSONNode& node = m_storage.nodes[parent];
        if (node.lastMember == noMember)
            node.firstMember = index;
        else
            members[node.lastMember].next = index;
        node.lastMember = index;
    }

    simdjson::error_code open(od::object& object, Keep keep, std::uint32_t node, std::uint32_t shape,
                              std::uint64_t offset)
    {
        Frame frame{true, false, keep, node, 0, {}, {}};
        frame.shape = shape;
        frame.offset = offset;
        frame.serial = ++m_storage.types.shapes[shape].objects;
        if (auto error = object.begin().get(frame.objectAt))
            return error;
        m_stack.push_back(frame);
        return simdjson::SUCCESS;
    }

    simdjson::error_code open(od::array& array, Keep keep, std::uint32_t node, std::uint32_t shape,
                              std::uint64_t offset)
    {
        Frame frame{false, false, keep, node, 0, {}, {}};
        frame.shape = shape;
        frame.offset = offset;
        ++m_storage.types.shapes[shape].arrays;
        if (auto error = array.begin().get(frame.arrayAt))
            return error;
        m_arrays.push_back(static_cast<std::uint32_t>(m_stack.size()));
        m_stack.push_back(frame);
        return simdjson::SUCCESS;
    }

    // Notes what a finished object lacked, or that a finished array was empty.
    void close(Frame& frame)
    {
        SampleShape& shape = m_storage.types.shapes[frame.shape];
        if (!frame.isObject) {
            m_arrays.pop_back();
            if (frame.count == 0) {
                if (shape.arrays == 1)
                    shape.firstArrayEmpty = true;
                if (!shape.emptyPlace.known())
                    shape.emptyPlace = placeOf(frame.shape, frame.offset, 1);
            }
            return;
        }
        if (frame.serial == 1 || frame.heldOfFirst == m_index[frame.shape].firstCount)
            return;
        for (SampleField& field : m_storage.types.shapes[frame.shape].fields) {
            if (field.inFirst && field.lastObject != frame.serial && !field.missingPlace.known())
                field.missingPlace = placeOf(frame.shape, frame.offset, 1);
        }
    }

    simdjson::error_code run()
    {
        while (!m_stack.empty()) {
            Frame& frame = m_stack.back();
            if (frame.isObject ? step(frame, frame.objectAt) : step(frame, frame.arrayAt)) {
                if (frame.node != noMember)
                    m_storage.nodes[frame.node].size = frame.count;
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
    bool step(Frame& frame, Iterator& at)
    {
        if (frame.started)
            ++at;
        frame.started = true;
        if (!(at != at))
            return true;
        const bool keepChild = frame.keep == Keep::all || (frame.keep == Keep::first && frame.count == 0);
        std::string_view key;
        od::value value;
        ++frame.count;
        std::uint32_t shape = noIndex;
        if constexpr (std::is_same_v<Iterator, od::object_iterator>) {
            od::field field;
            if ((m_error = (*at).get(field)))
                return false;
            const char* raw = field.key().raw();
            const std::string_view rawKey(raw, rawKeyLength(raw));
            if (frame.keep == Keep::all) {
                if ((m_error = field.unescaped_key().get(key)))
                    return false;
            }
            shape = memberShape(frame, rawKey, key, keepChild);
            value = field.value();
        } else {
            if ((m_error = (*at).get(value)))
                return false;
            shape = elementShape(frame, keepChild);
        }
        const std::uint32_t firstOf = !frame.isObject && frame.count == 1 ? frame.shape : noIndex;
        m_error = child(value, keepChild ? frame.node : noMember, key, frame.keep == Keep::all, shape, firstOf);
        return false;
    }

    // An array whose first element is null or an array tells no element type to the default rules.
    void noteFirstElement(std::uint32_t arrayShape, std::uint32_t elementShape, ValueKind kind, std::uint64_t offset)
    {
        if (arrayShape == noIndex)
            return;
        SampleShape& array = m_storage.types.shapes[arrayShape];
        Place& place = kind == ValueKind::null ? array.nullFirstPlace : array.arrayFirstPlace;
        if (!place.known())
            place = placeOf(elementShape, offset, 1);
    }

    // Reads one child; `parent` is noMember when nothing of it is kept. A kept object's children are kept
    // when it was reached through kept objects (`parentKeepsAll`) or as a first element.
    simdjson::error_code child(od::value& value, std::uint32_t parent, std::string_view key, bool parentKeepsAll,
                               std::uint32_t shape, std::uint32_t firstOf)
    {
        od::json_type type;
        if (auto error = value.type().get(type))
            return error;
        const bool keep = parent != noMember;
        const std::string_view token = value.raw_json_token();
        const std::uint64_t offset = offsetOf(token.data());
        switch (type) {
        case od::json_type::object: {
            od::object object;
            if (auto error = value.get_object().get(object))
                return error;
            std::uint32_t node = noMember;
            if (keep) {
                node = newNode(JSON::Kind::dictionary, shape);
                attach(parent, key, node);
            }
            note(shape, ValueKind::object, offset, 1);
            return open(object, keep ? Keep::all : Keep::none, node, shape, offset);
        }
        case od::json_type::array: {
            od::array array;
            if (auto error = value.get_array().get(array))
                return error;
            std::uint32_t node = noMember;
            if (keep) {
                node = newNode(JSON::Kind::array, shape);
                attach(parent, key, node);
            }
            note(shape, ValueKind::array, offset, 1);
            noteFirstElement(firstOf, shape, ValueKind::array, offset);
            return open(array, keep && parentKeepsAll ? Keep::first : Keep::none, node, shape, offset);
        }
        case od::json_type::number:
            return number(value, parent, key, shape, offset);
        case od::json_type::string: {
            note(shape, ValueKind::string, offset, trimmed(token).size());
            if (!keep) {
                // Taken, not skipped: the parser's skip would read a string followed by ':' as a member name.
                // Its escapes are checked with all others.
                od::raw_json_string raw;
                return value.get_raw_json_string().get(raw);
            }
            std::string_view text;
            if (auto error = value.get_string().get(text))
                return error;
            const std::uint32_t node = newNode(JSON::Kind::string, shape);
            m_storage.nodes[node].text = text;
            attach(parent, key, node);
            return simdjson::SUCCESS;
        }
        case od::json_type::boolean: {
            bool flag = false;
            if (auto error = value.get_bool().get(flag))
                return error;
            note(shape, ValueKind::boolean, offset, flag ? 4 : 5);
            if (keep)
                attach(parent, key, newNode(JSON::Kind::boolean, shape));
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
                attach(parent, key, newNode(JSON::Kind::null, shape));
            return simdjson::SUCCESS;
        }
        }
        return simdjson::TAPE_ERROR;
    }

    simdjson::error_code number(od::value& value, std::uint32_t parent, std::string_view key, std::uint32_t shape,
                                std::uint64_t offset)
    {
        const std::string_view token = trimmed(value.raw_json_token());
        if (parent == noMember) {
            if (!validNumberToken(token))
                return simdjson::NUMBER_ERROR;
            bool whole = false;
            const ValueKind kind = kindOf(token, whole);
            note(shape, kind, offset, token.size(), whole && kind == ValueKind::fraction);
            return simdjson::SUCCESS;
        }
        JSONNode node;
        node.kind = JSON::Kind::number;
        node.shape = shape;
        od::number parsed;
        if (value.get_number().get(parsed) == simdjson::SUCCESS) {
            store(node, parsed);
        } else if (!widen(node, token)) {
            return simdjson::NUMBER_ERROR;
        }
        const ValueKind kind = kindOf(node);
        note(shape, kind, offset, token.size(),
             kind == ValueKind::fraction && node.numberType == NumberType::floating && looksWhole(node.floating));
        m_storage.nodes.push_back(node);
        attach(parent, key, static_cast<std::uint32_t>(m_storage.nodes.size() - 1));
        return simdjson::SUCCESS;
    }

    simdjson::error_code rootScalar(od::document& document, od::json_type type)
    {
        std::string_view whole = trimmed(m_text);
        while (!whole.empty() && isSpace(whole.front()))
            whole.remove_prefix(1);
        const std::uint32_t node = newNode(JSON::Kind::null, 0);
        JSONNode& root = m_storage.nodes[node];
        const std::uint64_t offset = offsetOf(whole.data());
        switch (type) {
        case od::json_type::number: {
            if (!validNumberToken(whole))
                return simdjson::NUMBER_ERROR;
            root.kind = JSON::Kind::number;
            od::number parsed;
            if (document.get_number().get(parsed) == simdjson::SUCCESS)
                store(root, parsed);
            else
                widen(root, whole);
            note(0, kindOf(root), offset, whole.size());
            return simdjson::SUCCESS;
        }
        case od::json_type::string: {
            root.kind = JSON::Kind::string;
            note(0, ValueKind::string, offset, whole.size());
            if (auto error = document.get_string().get(root.text))
                return error;
            return atEnd(document);
        }
        case od::json_type::boolean:
            root.kind = JSON::Kind::boolean;
            note(0, ValueKind::boolean, offset, whole.size());
            return whole == "true" || whole == "false" ? simdjson::SUCCESS : simdjson::T_ATOM_ERROR;
        case od::json_type::null:
            note(0, ValueKind::null, offset, whole.size());
            return whole == "null" ? simdjson::SUCCESS : simdjson::N_ATOM_ERROR;
        default:
            return simdjson::TAPE_ERROR;
        }
    }

    static void store(JSONNode& node, od::number parsed)
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
    std::vector<FieldIndex> m_index;
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

    // A document can nest no deeper than half its length; asking for more would only reserve memory.
    const std::size_t depth = std::min(text.size() / 2 + 2, detail::maxJSONDepth);
    simdjson::error_code error = storage.parser.allocate(std::max<std::size_t>(text.size(), 64), depth);
    if (!error) {
        od::document parsed;
        error = storage.parser.iterate(simdjson::padded_string_view(text.data(), text.size(), text.size() + padding))
                    .get(parsed);
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
    storage.nodes.clear();
    storage.members.clear();
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
