#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace morvex {

class JSONDocument;

/// A read-only view of one value of a parsed JSON document.
///
/// Valid while its `JSONDocument` lives. Object members and array elements come out in the order of the JSON
/// text. A default-constructed value, and the root of text that did not parse, is `null`.
class JSON
{
public:
    enum class Kind
    {
        number,
        string,
        boolean,
        array,
        dictionary,
        null,
        unknown
    };

    JSON() noexcept;

    Kind kind() const noexcept;

    /// The number as a signed 64-bit integer, fraction dropped towards zero; saturated outside that range.
    /// 0 for anything that is not a number.
    std::int64_t intValue() const noexcept;

    /// The number rounded to single precision (infinite beyond its range). 0 for anything that is not a number.
    float floatValue() const noexcept;

    /// The number as parsed, in double precision. 0 for anything that is not a number.
    double doubleValue() const noexcept;

    /// True for a number whose value lies within the signed 64-bit range. Numbers beyond it (such as 2^64, or
    /// 1e400, which no 64-bit type holds) are never integral.
    bool fitsInt64() const noexcept;

    /// The text of a string value; empty for any other kind.
    std::string_view stringValue() const noexcept;

    /// The number of members of an object or elements of an array; 0 for scalars.
    std::size_t size() const noexcept;

    /// The first element of a non-empty array; null otherwise.
    JSON firstElement() const noexcept;

    /// Calls `visit(key, value)` for each member of an object (key = member name) or each element of an array
    /// (key = zero-based position in decimal). Other kinds have no pairs.
    template <typename Visit>
    void forEach(Visit&& visit) const;

private:
    friend class JSONDocument;
    friend class JSONIterator;
    friend struct JSONAccess;

    // Holds the parser's element handle (two machine words) so that no parser header leaks out of the core.
    alignas(void*) unsigned char m_storage[2 * sizeof(void*)];
    bool m_valid = false;
};

/// Iterates the (key, value) pairs of a value without recursion; see `JSON::forEach`.
class JSONIterator
{
public:
    explicit JSONIterator(const JSON& value) noexcept;

    /// Advances to the next pair; false when there is none.
    bool next(std::string_view& key, JSON& value) noexcept;

private:
    JSON::Kind m_kind;
    alignas(void*) unsigned char m_current[2 * sizeof(void*)];
    alignas(void*) unsigned char m_end[2 * sizeof(void*)];
    std::size_t m_index = 0;
    std::string m_indexKey;
};

template <typename Visit>
void JSON::forEach(Visit&& visit) const
{
    JSONIterator iterator(*this);
    std::string_view key;
    JSON value;
    while (iterator.next(key, value))
        visit(key, value);
}

/// Where and why a text is not JSON. Lines and columns count from 1; columns count characters.
struct JSONError
{
    std::string reason;
    std::size_t offset = 0;
    std::size_t line = 1;
    std::size_t column = 1;

    /// "line L, column C: reason"
    std::string describe() const;
};

/// A parsed JSON document: owns the parser's storage that its values point into.
class JSONDocument
{
public:
    /// Parses `text`, validating all of it. A UTF-8 byte-order mark at the start is skipped. Text that is not
    /// JSON gives a document whose root is null and whose `error()` says why and where.
    static JSONDocument parse(std::string_view text);

    JSONDocument(JSONDocument&&) noexcept;
    JSONDocument& operator=(JSONDocument&&) noexcept;
    ~JSONDocument();

    JSON root() const noexcept { return m_root; }
    bool ok() const noexcept { return m_error == nullptr; }
    /// The reason the text did not parse; nullptr when it did.
    const JSONError* error() const noexcept { return m_error.get(); }

private:
    struct Storage;
    JSONDocument();

    std::unique_ptr<Storage> m_storage;
    std::unique_ptr<JSONError> m_error;
    JSON m_root;
};

} // namespace morvex
