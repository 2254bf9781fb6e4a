#pragma once

#include "morvex/JSONError.h"
#include "morvex/SampleTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace morvex {

class JSONDocument;
struct JSONStorage;

/// A read-only view of one value of a parsed JSON document.
///
/// Valid while its `JSONDocument` lives. Object members and array elements come out in the order of the JSON
/// text. A default-constructed value, and the root of text that did not parse, is `null`.
///
/// The document keeps what the generator reads and validates the rest without storing it: every member of the
/// root and of each object reachable through objects and first array elements, and of every array its first
/// element only (the root array keeps all of them). `size()` always counts every member or element.
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

    JSON() noexcept = default;

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

    /// The position of this value in the document's `SampleTypes`; noIndex for a default value.
    std::uint32_t shape() const noexcept;

    /// The name this value stands under in its object; empty for the root and for array elements.
    std::string_view memberKey() const noexcept;

    /// The first element of a non-empty array; null otherwise.
    JSON firstElement() const noexcept;

    /// For walks that keep no list of members: this value's place among the values the document stores, the
    /// place past all stored inside it, and the value at a place. The stored members of an object (or elements of
    /// an array) lie in order from `position() + 1` on, each at the `end()` of the one before.
    std::uint32_t position() const noexcept { return m_node; }
    std::uint32_t end() const noexcept;
    JSON at(std::uint32_t position) const noexcept { return {m_storage, position}; }
    /// An object that holds a key more than once.
    bool repeatsKey() const noexcept;

    /// Calls `visit(key, value)` for each member of an object (key = member name) or each element of an array
    /// (key = zero-based position in decimal). Other kinds have no pairs.
    template <typename Visit>
    void forEach(Visit&& visit) const;

private:
    friend class JSONIterator;
    friend struct JSONAccess;

    JSON(const JSONStorage* storage, std::uint32_t node) noexcept : m_storage(storage), m_node(node) {}

    const JSONStorage* m_storage = nullptr;
    std::uint32_t m_node = 0;
};

/// Iterates the (key, value) pairs of a value without recursion; see `JSON::forEach`.
class JSONIterator
{
public:
    explicit JSONIterator(const JSON& value) noexcept;

    /// Advances to the next pair; false when there is none.
    bool next(std::string_view& key, JSON& value) noexcept;

private:
    const JSONStorage* m_storage = nullptr;
    JSON::Kind m_kind = JSON::Kind::null;
    std::uint32_t m_member;
    std::uint32_t m_left;
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

/// Text whose last byte is followed by at least `JSONDocument::padding` readable bytes, which the parser may
/// read ahead into but never uses. Parsing such text needs no copy of it.
struct PaddedText
{
    std::string_view text;
};

/// A parsed JSON document: owns the storage that its values point into.
class JSONDocument
{
public:
    static constexpr std::size_t padding = 64;
    /// The longest text the parser takes (4 GiB less a byte): its offsets take 32 bits.
    static constexpr std::size_t maxSize = 0xFFFFFFFF;

    /// Parses `text`, validating all of it. A UTF-8 byte-order mark at the start is skipped. Text that is not
    /// JSON gives a document whose root is null and whose `error()` says why and where.
    static JSONDocument parse(std::string_view text);
    /// The same, without copying the text; it must outlive the document.
    static JSONDocument parse(PaddedText padded);

    JSONDocument(JSONDocument&&) noexcept;
    JSONDocument& operator=(JSONDocument&&) noexcept;
    ~JSONDocument();

    JSON root() const noexcept { return m_root; }
    /// Every value of the document merged by position (empty when the text did not parse).
    const SampleTypes& types() const noexcept;
    bool ok() const noexcept { return m_error == nullptr; }
    /// The reason the text did not parse; nullptr when it did.
    const JSONError* error() const noexcept { return m_error.get(); }

private:
    JSONDocument();
    static JSONDocument parse(std::unique_ptr<JSONStorage> owned, std::string_view text);

    std::unique_ptr<JSONStorage> m_storage;
    std::unique_ptr<JSONError> m_error;
    JSON m_root;
};

} // namespace morvex
