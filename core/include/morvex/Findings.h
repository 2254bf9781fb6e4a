#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvex {

/// What a conversion found that the sample cannot say in the generated code. The front ends word each kind.
enum class FindingKind
{
    keyNotIdentifier,   // key, language
    keyReserved,        // key, language
    keyOverrides,       // key: an Objective-C property that overrides a method of NSObject
    keyDeclaresNothing, // key: an Objective-C number or boolean property whose name is a qualifier (`const`)
    keyChanged,         // key, name
    memberNameShared,   // key, name: a changed key that takes the name of another member
    setterShared,       // key, earlier key, setter: Objective-C properties whose setters are one (`name`, `Name`)
    keyRepeated,        // key
    nullDropped,        // key
    elementUnknown,     // key, why: "empty", "null first", "array first"
    memberNotInFirst,   // key
    memberMissing,      // key
    kindDiffers,        // first kind, later kind
    typeNameShared,     // type name, path of the earlier type
    fileReplaced,       // file name, earlier type, later type
    fileNameCase,       // earlier type, later type, earlier file name, "case" or "normalisation"
    wideNumber,         // number text
    notInteger,         // number text
    tooManyTypes,       // count
    configuration       // rule
};

/// The stable name of a kind, as the report writes it ("null-dropped").
std::string_view findingKindName(FindingKind kind);

struct Finding
{
    FindingKind kind = FindingKind::nullDropped;
    std::vector<std::string> arguments;
    /// `$.orders[1].extra`, and the same as a JSON Pointer.
    std::string path;
    std::string pointer;
    /// The place in the input, in bytes.
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    /// The file concerned, where there is one.
    std::string file;

    friend bool operator==(const Finding&, const Finding&) = default;
};

/// The findings of one conversion: the first `limit` kept, the rest counted.
struct Findings
{
    static constexpr std::size_t limit = 1000;

    std::vector<Finding> kept;
    std::uint64_t omitted = 0;

    void add(Finding finding)
    {
        if (kept.size() < limit)
            kept.push_back(std::move(finding));
        else
            ++omitted;
    }
    std::uint64_t total() const { return kept.size() + omitted; }
    bool full() const { return kept.size() >= limit; }

    friend bool operator==(const Findings&, const Findings&) = default;
};

} // namespace morvex
