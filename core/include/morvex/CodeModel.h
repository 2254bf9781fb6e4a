#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace morvex {

/// Member name to element type name, one entry per member whose value is an array of objects, in member order.
using ClassInArray = std::vector<std::pair<std::string, std::string>>;

/// One generated type.
struct CodeModel
{
    std::string className;
    /// The type's source text (for Objective-C: the interface part).
    std::string code;
    /// Filled by the Objective-C walk only.
    ClassInArray classInArray;
    /// Objective-C, faithful rules: property name to JSON key, for members renamed to compile.
    ClassInArray replacedKeys;
    /// The position of the sample it was made for (see `SampleTypes`).
    std::uint32_t shape = std::numeric_limits<std::uint32_t>::max();
};

} // namespace morvex
