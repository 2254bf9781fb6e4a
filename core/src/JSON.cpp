#include "morvex/JSON.h"

#include "JSONSyntax.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <simdjson.h>
#include <type_traits>

namespace morvex {

namespace dom = simdjson::dom;

namespace {

static_assert(sizeof(dom::element) == 2 * sizeof(void*) && std::is_trivially_copyable_v<dom::element>);
static_assert(sizeof(dom::object::iterator) == 2 * sizeof(void*) &&
              std::is_trivially_copyable_v<dom::object::iterator>);
static_assert(sizeof(dom::array::iterator) == 2 * sizeof(void*) && std::is_trivially_copyable_v<dom::array::iterator>);

template <typename T>
T load(const unsigned char* storage)
{
    T value;
    std::memcpy(static_cast<void*>(&value), storage, sizeof value);
    return value;
}

template <typename T>
void store(unsigned char* storage, const T& value)
{
    std::memcpy(storage, static_cast<const void*>(&value), sizeof value);
}

constexpr double twoTo63 = 9223372036854775808.0;

} // namespace

struct JSONAccess
{
    static dom::element element(const JSON& value) { return load<dom::element>(value.m_storage); }
    static JSON make(dom::element element)
    {
        JSON value;
        store(value.m_storage, element);
        value.m_valid = true;
        return value;
    }
};

JSON::JSON() noexcept : m_storage{} {}

JSON::Kind JSON::kind() const noexcept
{
    if (!m_valid)
        return Kind::null;
    switch (JSONAccess::element(*this).type()) {
    case dom::element_type::INT64:
    case dom::element_type::UINT64:
    case dom::element_type::DOUBLE:
        return Kind::number;
    case dom::element_type::STRING:
        return Kind::string;
    case dom::element_type::BOOL:
        return Kind::boolean;
    case dom::element_type::ARRAY:
        return Kind::array;
    case dom::element_type::OBJECT:
        return Kind::dictionary;
    case dom::element_type::NULL_VALUE:
        return Kind::null;
    }
    return Kind::unknown;
}

double JSON::doubleValue() const noexcept
{
    if (!m_valid)
        return 0;
    const auto element = JSONAccess::element(*this);
    switch (element.type()) {
    case dom::element_type::INT64:
        return static_cast<double>(element.get_int64().value_unsafe());
    case dom::element_type::UINT64:
        return static_cast<double>(element.get_uint64().value_unsafe());
    case dom::element_type::DOUBLE:
        return element.get_double().value_unsafe();
    default:
        return 0;
    }
}

std::int64_t JSON::intValue() const noexcept
{
    if (!m_valid)
        return 0;
    const auto element = JSONAccess::element(*this);
    switch (element.type()) {
    case dom::element_type::INT64:
        return element.get_int64().value_unsafe();
    case dom::element_type::UINT64: {
        const std::uint64_t value = element.get_uint64().value_unsafe();
        return value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
                   ? std::numeric_limits<std::int64_t>::max()
                   : static_cast<std::int64_t>(value);
    }
    case dom::element_type::DOUBLE: {
        const double value = element.get_double().value_unsafe();
        if (value >= twoTo63)
            return std::numeric_limits<std::int64_t>::max();
        if (value < -twoTo63)
            return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(value);
    }
    default:
        return 0;
    }
}

float JSON::floatValue() const noexcept
{
    if (!m_valid)
        return 0;
    const auto element = JSONAccess::element(*this);
    switch (element.type()) {
    case dom::element_type::INT64:
        return static_cast<float>(element.get_int64().value_unsafe());
    case dom::element_type::UINT64:
        return static_cast<float>(element.get_uint64().value_unsafe());
    case dom::element_type::DOUBLE:
        return static_cast<float>(element.get_double().value_unsafe());
    default:
        return 0;
    }
}

bool JSON::fitsInt64() const noexcept
{
    if (!m_valid)
        return false;
    const auto element = JSONAccess::element(*this);
    switch (element.type()) {
    case dom::element_type::INT64:
        return true;
    case dom::element_type::UINT64:
        return element.get_uint64().value_unsafe() <=
               static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    case dom::element_type::DOUBLE: {
        const double value = element.get_double().value_unsafe();
        return value >= -twoTo63 && value < twoTo63;
    }
    default:
        return false;
    }
}

std::string_view JSON::stringValue() const noexcept
{
    if (!m_valid)
        return {};
    std::string_view text;
    if (JSONAccess::element(*this).get(text))
        return {};
    return text;
}

std::size_t JSON::size() const noexcept
{
    if (!m_valid)
        return 0;
    const auto element = JSONAccess::element(*this);
    if (element.is_object())
        return element.get_object().value_unsafe().size();
    if (element.is_array())
        return element.get_array().value_unsafe().size();
    return 0;
}

JSON JSON::firstElement() const noexcept
{
    if (!m_valid)
        return {};
    dom::array array;
    if (JSONAccess::element(*this).get(array))
        return {};
    auto first = array.begin();
    if (first == array.end())
        return {};
    return JSONAccess::make(*first);
}

JSONIterator::JSONIterator(const JSON& value) noexcept : m_kind(value.kind()), m_current{}, m_end{}
{
    if (m_kind == JSON::Kind::dictionary) {
        const auto object = JSONAccess::element(value).get_object().value_unsafe();
        store(m_current, object.begin());
        store(m_end, object.end());
    } else if (m_kind == JSON::Kind::array) {
        const auto array = JSONAccess::element(value).get_array().value_unsafe();
        store(m_current, array.begin());
        store(m_end, array.end());
    }
}

bool JSONIterator::next(std::string_view& key, JSON& value) noexcept
{
    if (m_kind == JSON::Kind::dictionary) {
        auto current = load<dom::object::iterator>(m_current);
        if (current == load<dom::object::iterator>(m_end))
            return false;
        key = current.key();
        value = JSONAccess::make(current.value());
        store(m_current, ++current);
        return true;
    }
    if (m_kind == JSON::Kind::array) {
        auto current = load<dom::array::iterator>(m_current);
        if (current == load<dom::array::iterator>(m_end))
            return false;
        m_indexKey = std::to_string(m_index++);
        key = m_indexKey;
        value = JSONAccess::make(*current);
        store(m_current, ++current);
        return true;
    }
    return false;
}

std::string JSONError::describe() const
{
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + reason;
}

struct JSONDocument::Storage
{
    dom::parser parser;
};

JSONDocument::JSONDocument() = default;
JSONDocument::JSONDocument(JSONDocument&&) noexcept = default;
JSONDocument& JSONDocument::operator=(JSONDocument&&) noexcept = default;
JSONDocument::~JSONDocument() = default;

namespace {

// Numbers no 64-bit type holds are valid JSON; the fast parser refuses them. They are rewritten as the nearest
// double (the largest finite one for overflows), which keeps them non-integral for the generator.
std::string widenNumbers(std::string_view text, const std::vector<detail::WideNumber>& wide)
{
    std::string out;
    out.reserve(text.size() + wide.size() * 8);
    std::size_t at = 0;
    for (const auto& number : wide) {
        out.append(text.substr(at, number.offset - at));
        const std::string token(text.substr(number.offset, number.length));
        double value = std::strtod(token.c_str(), nullptr);
        if (std::isinf(value))
            value = std::copysign(std::numeric_limits<double>::max(), value);
        // Just below -2^63 rounds to -2^63 itself, which would read as a 64-bit integer again.
        if (value >= -twoTo63 && value < twoTo63)
            value = std::nextafter(value, value < 0 ? -std::numeric_limits<double>::infinity()
                                                    : std::numeric_limits<double>::infinity());
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.17e", value);
        out.append(buffer);
        at = number.offset + number.length;
    }
    out.append(text.substr(at));
    return out;
}

simdjson::error_code parseInto(dom::parser& parser, std::string_view text, dom::element& root)
{
    // A document can nest no deeper than half its length; asking for more would only reserve memory.
    const std::size_t depth = std::min(text.size() / 2 + 2, detail::maxJSONDepth);
    if (auto error = parser.allocate(std::max<std::size_t>(text.size(), 64), depth))
        return error;
    const simdjson::padded_string padded(text);
    return parser.parse(padded).get(root);
}

} // namespace

JSONDocument JSONDocument::parse(std::string_view text)
{
    JSONDocument document;
    document.m_storage = std::make_unique<Storage>();
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    dom::element root;
    simdjson::error_code error = parseInto(document.m_storage->parser, text, root);
    if (error) {
        detail::SyntaxCheck check = detail::checkJSONSyntax(text);
        if (!check.error && !check.wideNumbers.empty())
            error = parseInto(document.m_storage->parser, widenNumbers(text, check.wideNumbers), root);
        if (error) {
            if (check.error) {
                document.m_error = std::make_unique<JSONError>(std::move(*check.error));
            } else {
                document.m_error = std::make_unique<JSONError>();
                document.m_error->reason = simdjson::error_message(error);
                document.m_error->offset = text.size();
                detail::locate(*document.m_error, text);
            }
            return document;
        }
    }
    document.m_root = JSONAccess::make(root);
    return document;
}

} // namespace morvex
