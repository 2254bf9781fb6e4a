#include "morvex/JSON.h"

#include "JSONSyntax.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <simdjson.h>
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

std::string JSONError::describe() const
{
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + reason;
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

// Walks the whole document once, without recursion, validating every value and keeping what the generator
// reads (see `Keep`).
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
        if (type == od::json_type::object) {
            od::object object;
            if (auto error = document.get_object().get(object))
                return error;
            if (auto error = open(object, Keep::all, newNode(JSON::Kind::dictionary)))
                return error;
        } else if (type == od::json_type::array) {
            od::array array;
            if (auto error = document.get_array().get(array))
                return error;
            if (auto error = open(array, Keep::all, newNode(JSON::Kind::array)))
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
    };

    std::uint32_t newNode(JSON::Kind kind)
    {
        m_storage.nodes.emplace_back();
        m_storage.nodes.back().kind = kind;
        return static_cast<std::uint32_t>(m_storage.nodes.size() - 1);
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

    simdjson::error_code open(od::object& object, Keep keep, std::uint32_t node)
    {
        Frame frame{true, false, keep, node, 0, {}, {}};
        if (auto error = object.begin().get(frame.objectAt))
            return error;
        m_stack.push_back(frame);
        return simdjson::SUCCESS;
    }

    simdjson::error_code open(od::array& array, Keep keep, std::uint32_t node)
    {
        Frame frame{false, false, keep, node, 0, {}, {}};
        if (auto error = array.begin().get(frame.arrayAt))
            return error;
        m_stack.push_back(frame);
        return simdjson::SUCCESS;
    }

    simdjson::error_code run()
    {
        while (!m_stack.empty()) {
            Frame& frame = m_stack.back();
            if (frame.isObject ? step(frame, frame.objectAt) : step(frame, frame.arrayAt)) {
                if (frame.node != noMember)
                    m_storage.nodes[frame.node].size = frame.count;
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
        std::string_view key;
        od::value value;
        if constexpr (std::is_same_v<Iterator, od::object_iterator>) {
            od::field field;
            if ((m_error = (*at).get(field)))
                return false;
            if (frame.keep == Keep::all) {
                if ((m_error = field.unescaped_key().get(key)))
                    return false;
            }
            value = field.value();
        } else {
            if ((m_error = (*at).get(value)))
                return false;
        }
        const bool keepChild = frame.keep == Keep::all || (frame.keep == Keep::first && frame.count == 0);
        ++frame.count;
        m_error = child(value, keepChild ? frame.node : noMember, key, frame.keep == Keep::all);
        return false;
    }

    // Reads one child; `parent` is noMember when nothing of it is kept. A kept object's children are kept
    // when it was reached through kept objects (`parentKeepsAll`) or as a first element.
    simdjson::error_code child(od::value& value, std::uint32_t parent, std::string_view key, bool parentKeepsAll)
    {
        od::json_type type;
        if (auto error = value.type().get(type))
            return error;
        const bool keep = parent != noMember;
        switch (type) {
        case od::json_type::object: {
            od::object object;
            if (auto error = value.get_object().get(object))
                return error;
            std::uint32_t node = noMember;
            if (keep) {
                node = newNode(JSON::Kind::dictionary);
                attach(parent, key, node);
            }
            return open(object, keep ? Keep::all : Keep::none, node);
        }
        case od::json_type::array: {
            od::array array;
            if (auto error = value.get_array().get(array))
                return error;
            std::uint32_t node = noMember;
            if (keep) {
                node = newNode(JSON::Kind::array);
                attach(parent, key, node);
            }
            return open(array, keep && parentKeepsAll ? Keep::first : Keep::none, node);
        }
        case od::json_type::number:
            return number(value, parent, key);
        case od::json_type::string: {
            if (!keep) {
                // Taken, not skipped: the parser's skip would read a string followed by ':' as a member name.
                // Its escapes are checked with all others.
                od::raw_json_string raw;
                return value.get_raw_json_string().get(raw);
            }
            std::string_view text;
            if (auto error = value.get_string().get(text))
                return error;
            const std::uint32_t node = newNode(JSON::Kind::string);
            m_storage.nodes[node].text = text;
            attach(parent, key, node);
            return simdjson::SUCCESS;
        }
        case od::json_type::boolean: {
            bool flag = false;
            if (auto error = value.get_bool().get(flag))
                return error;
            if (keep)
                attach(parent, key, newNode(JSON::Kind::boolean));
            return simdjson::SUCCESS;
        }
        case od::json_type::null: {
            bool isNull = false;
            if (auto error = value.is_null().get(isNull))
                return error;
            if (!isNull)
                return simdjson::N_ATOM_ERROR;
            if (keep)
                attach(parent, key, newNode(JSON::Kind::null));
            return simdjson::SUCCESS;
        }
        }
        return simdjson::TAPE_ERROR;
    }

    simdjson::error_code number(od::value& value, std::uint32_t parent, std::string_view key)
    {
        const std::string_view token = trimmed(value.raw_json_token());
        if (parent == noMember)
            return validNumberToken(token) ? simdjson::SUCCESS : simdjson::NUMBER_ERROR;
        JSONNode node;
        node.kind = JSON::Kind::number;
        od::number parsed;
        if (value.get_number().get(parsed) == simdjson::SUCCESS) {
            store(node, parsed);
        } else if (!widen(node, token)) {
            return simdjson::NUMBER_ERROR;
        }
        m_storage.nodes.push_back(node);
        attach(parent, key, static_cast<std::uint32_t>(m_storage.nodes.size() - 1));
        return simdjson::SUCCESS;
    }

    simdjson::error_code rootScalar(od::document& document, od::json_type type)
    {
        std::string_view whole = trimmed(m_text);
        while (!whole.empty() && isSpace(whole.front()))
            whole.remove_prefix(1);
        const std::uint32_t node = newNode(JSON::Kind::null);
        JSONNode& root = m_storage.nodes[node];
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
            return simdjson::SUCCESS;
        }
        case od::json_type::string: {
            root.kind = JSON::Kind::string;
            if (auto error = document.get_string().get(root.text))
                return error;
            return atEnd(document);
        }
        case od::json_type::boolean:
            root.kind = JSON::Kind::boolean;
            return whole == "true" || whole == "false" ? simdjson::SUCCESS : simdjson::T_ATOM_ERROR;
        case od::json_type::null:
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
    simdjson::error_code m_error = simdjson::SUCCESS;
};

} // namespace

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
