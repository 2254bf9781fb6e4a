#pragma once

#include "morvex/JSON.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace morvex::detail {

/// The deepest nesting a document may have; deeper text is reported, never recursed into.
inline constexpr std::size_t maxJSONDepth = 1'000'000;

/// A number token of the text that no 64-bit type holds: an integer beyond [-2^63, 2^64 - 1] or a float beyond
/// double range.
struct WideNumber
{
    std::size_t offset;
    std::size_t length;
};

struct SyntaxCheck
{
    std::optional<JSONError> error;
    std::vector<WideNumber> wideNumbers;
};

/// Checks `text` against the JSON grammar (RFC 8259, UTF-8) without building anything: finds the first error
/// with its position, and lists the numbers too wide for 64 bits. Runs only when the fast parser has refused
/// the text, to say where and why, and to let wide numbers through.
SyntaxCheck checkJSONSyntax(std::string_view text);

/// Fills in line and column of `error` from its offset in `text`.
void locate(JSONError& error, std::string_view text);

} // namespace morvex::detail
