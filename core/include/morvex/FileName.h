#pragma once

#include <string>
#include <string_view>

namespace morvex {

/// The file name for a type: `className` + `extension` when that is a safe single file name; otherwise path
/// separators and control characters become "_", an empty name becomes "_", and a name too long for the file
/// system is shortened and given a hash of the whole name so that distinct types stay distinct.
std::string fileNameFor(std::string_view className, std::string_view extension);

} // namespace morvex
