#pragma once

#include <cstddef>
#include <string>

namespace morvex {

/// Where and why a text is not JSON. Lines and columns count from 1; columns count characters.
struct JSONError
{
    std::string reason;
    std::size_t offset = 0;
    std::size_t line = 1;
    std::size_t column = 1;

    /// "line L, column C: reason"
    std::string describe() const
    {
        return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + reason;
    }
};

} // namespace morvex
