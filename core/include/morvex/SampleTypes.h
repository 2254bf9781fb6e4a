#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morvex {

/// What one JSON value is, finer than `JSON::Kind` where typing needs it.
enum class ValueKind : std::uint8_t
{
    null,
    boolean,
    integer,  // a whole number within the signed 64-bit range
    fraction, // any other number that a double holds
    wide,     // beyond 64 bits (2^64, 1e400): only a double comes near
    string,
    object,
    array
};

inline constexpr std::uint16_t kindBit(ValueKind kind)
{
    return static_cast<std::uint16_t>(1u << static_cast<unsigned>(kind));
}

inline constexpr std::uint32_t noIndex = std::numeric_limits<std::uint32_t>::max();

/// A place in the input: the bytes of a value or key, and the position it holds (its shape and the array
/// indices on the way to it), from which its JSON path is told. Offsets and counts in these types take 32 bits,
/// as no text the parser takes reaches 4 GiB.
struct Place
{
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint32_t shape = noIndex;
    std::uint32_t trail = noIndex;

    bool known() const { return shape != noIndex; }
};

/// The places of a shape that most shapes never have, each kept only where it is known: deep text makes a
/// million shapes, and nested arrays give each of them an array as first element.
enum class RarePlace : std::uint8_t
{
    /// The first value of another kind than the first one's.
    other,
    null,
    wide,
    /// A fraction whose single-precision view is whole, so that the default rules type it `Int`.
    wholeLooking,
    /// The first arrays here that were empty, began with null, or began with an array.
    empty,
    nullFirst,
    arrayFirst,
    /// A member's: the first object of its parent's shape that lacks it (sought only for members of the first).
    missing
};

/// One known rare place, listed from its shape (`SampleShape::rare`).
struct RarePlaceEntry
{
    Place place;
    std::uint32_t next = noIndex;
    RarePlace which = RarePlace::other;
};

/// Every value the sample holds at one position (a member of the objects of a position, or the elements of
/// the arrays of a position), merged: which kinds occur, where each first occurs, and for objects and arrays
/// the positions inside them. A member's position is also its field in the objects of its parent: its key, and
/// how many of them hold it. Deep text makes a million of them, so nothing is kept here that the text tells.
struct SampleShape
{
    std::uint32_t parent = noIndex;
    /// Where the first value stands (see `SampleTypes::firstPlace`).
    std::uint32_t firstOffset = 0;
    std::uint32_t firstTrail = noIndex;

    std::uint32_t objects = 0;
    std::uint32_t element = noIndex;
    /// Its members' shapes, in order of first appearance, listed through `next`.
    std::uint32_t firstField = noIndex;
    std::uint32_t lastField = noIndex;
    /// The first of its rare places in `SampleTypes::rarePlaces` (see `SampleTypes::rarePlace`).
    std::uint32_t rare = noIndex;

    /// Of a member (see `member`): where its key first stands, at its opening quote (see `SampleTypes::key`).
    std::uint32_t keyOffset = 0;
    /// How many objects of the parent's shape hold it, and the last of them.
    std::uint32_t present = 0;
    std::uint32_t lastObject = 0;
    /// The next member of the parent's shape.
    std::uint32_t next = noIndex;

    std::uint16_t kinds = 0;
    ValueKind firstKind = ValueKind::null;
    /// The kind of the rare place `other`.
    ValueKind otherKind = ValueKind::null;
    /// The first value here lies on the path the default rules read (first elements, all members).
    bool kept : 1 = false;
    /// The first array here was empty (see the rare place `empty`).
    bool firstArrayEmpty : 1 = false;
    /// Reached from the parent by a key; else an element of its arrays.
    bool member : 1 = false;
    /// A member held by the first object of the parent's shape.
    bool inFirst : 1 = false;
    /// A member whose key holds escapes (see `SampleTypes::escapedKeys`).
    bool escapedKey : 1 = false;
    /// The earlier value of a key repeated in a first object, left behind: no member list holds it.
    bool leftBehind : 1 = false;

    bool has(ValueKind kind) const { return (kinds & kindBit(kind)) != 0; }
};

/// A key that stands twice in one object, said once per field: the object keeps its last value.
struct RepeatedKey
{
    /// The member's shape.
    std::uint32_t field = noIndex;
    /// Where it stands again.
    Place place;
    /// The kinds of the values it replaced in the first object of its shape.
    std::uint16_t earlierKinds = 0;
};

/// A step of the array indices leading to a place: the index in the innermost array and the step outside it.
struct TrailStep
{
    std::uint32_t parent = noIndex;
    std::uint32_t index = 0;
};

/// The types the sample implies: one shape per position, root first, in order of first appearance. Built by
/// the reading pass over every value of the document, first elements or not. Where a key stands twice in the
/// first object of a shape, what was noted of the earlier value is set aside, as the code reads the last: a
/// shape with nothing inside starts again, any other is left behind for a fresh one, reached by no field.
struct SampleTypes
{
    std::vector<SampleShape> shapes;
    std::vector<RarePlaceEntry> rarePlaces;
    std::vector<TrailStep> trails;
    /// The text read, in which keys and first values stand.
    std::string_view text;
    /// The keys that hold escapes, unescaped, one after another, and where each lies in it, by shape.
    std::string keys;
    struct EscapedKey
    {
        std::uint32_t shape;
        std::uint32_t at;
        std::uint32_t size;
    };
    /// In order of shape.
    std::vector<EscapedKey> escapedKeys;
    std::vector<RepeatedKey> repeatedKeys;

    /// The key of the member `shape`, unescaped.
    std::string_view key(std::uint32_t shape) const;
    /// The text between the quotes of the string that opens at `offset`, escapes and all.
    std::string_view quotedAt(std::uint32_t offset) const;
    /// Where the first value of `shapes[shape]` stands; unknown while it has none.
    Place firstPlace(std::uint32_t shape) const;
    /// A rare place of `shape`; unknown where it has none.
    const Place& rarePlace(const SampleShape& shape, RarePlace which) const
    {
        static const Place none;
        for (std::uint32_t at = shape.rare; at != noIndex; at = rarePlaces[at].next) {
            if (rarePlaces[at].which == which)
                return rarePlaces[at].place;
        }
        return none;
    }
    /// Where the key of the member `shape` first stands: in the object its first value stands in.
    Place keyPlace(std::uint32_t shape) const
    {
        const SampleShape& at = shapes[shape];
        return {at.keyOffset, static_cast<std::uint32_t>(quotedAt(at.keyOffset).size() + 2), shape, at.firstTrail};
    }

    /// The members of `shape` in order, as shape numbers, for a range-for.
    class FieldList
    {
    public:
        class Iterator
        {
        public:
            std::uint32_t operator*() const { return m_at; }
            Iterator& operator++()
            {
                m_at = (*m_shapes)[m_at].next;
                return *this;
            }
            bool operator!=(const Iterator& other) const { return m_at != other.m_at; }

        private:
            friend class FieldList;
            Iterator(const std::vector<SampleShape>* shapes, std::uint32_t at) : m_shapes(shapes), m_at(at) {}
            const std::vector<SampleShape>* m_shapes;
            std::uint32_t m_at;
        };

        Iterator begin() const { return {m_shapes, m_first}; }
        Iterator end() const { return {m_shapes, noIndex}; }

    private:
        friend struct SampleTypes;
        FieldList(const std::vector<SampleShape>* shapes, std::uint32_t first) : m_shapes(shapes), m_first(first) {}
        const std::vector<SampleShape>* m_shapes;
        std::uint32_t m_first;
    };

    FieldList fieldsOf(const SampleShape& shape) const { return {&shapes, shape.firstField}; }

    /// `$.orders[1].extra`, with keys that are not plain names bracket-quoted: `$['first-name']`. Very deep
    /// places keep their first and last steps around "…".
    std::string path(const Place& place) const;
    /// The same as an RFC 6901 JSON Pointer: `/orders/1/extra`.
    std::string pointer(const Place& place) const;

    /// Per shape, made when the path of a very deep place is first told, so that no path walks the whole way to
    /// the root: its depth, the array elements on the way to it, and its ancestor where a cut path resumes. As it
    /// is made on demand, paths of one `SampleTypes` are told from one thread at a time.
    struct Ancestry
    {
        std::uint32_t depth = 0;
        std::uint32_t elements = 0;
        std::uint32_t top = noIndex;
    };
    mutable std::vector<Ancestry> ancestry;
};

} // namespace morvex
