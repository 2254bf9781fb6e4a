#pragma once

#include "morvex/JSONError.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace morvex::detail {

/// The deepest nesting a document may have; deeper text is reported, never recursed into.
inline constexpr std::size_t maxJSONDepth = 1'000'000;

struct SyntaxCheck
{
    std::optional<JSONError> error;
};

/// Checks `text` against the JSON grammar (RFC 8259, UTF-8) without building anything, and finds the first
/// error with its position. Runs only when the fast parser has refused the text, to say where and why.
SyntaxCheck checkJSONSyntax(std::string_view text);

/// The length of the JSON number at the start of `text` (which may go on after it), or 0 when there is none;
/// `reason`, when given, then says what is wrong.
std::size_t scanNumber(std::string_view text, const char** reason = nullptr);

/// The length of the string escape at the start of `text` (a \u surrogate pair counts as one), or 0 when it is
/// malformed; `reason`, when given, then says why.
std::size_t scanEscape(std::string_view text, const char** reason = nullptr);

/// Fills in line and column of `error` from its offset in `text`.
void locate(JSONError& error, std::string_view text);

} // namespace morvex::detail
