#pragma once

#include <cstddef>
#include <string_view>

namespace morvex {

/// True when `text` is well-formed UTF-8: no overlong forms, encoded surrogates or code points past U+10FFFF.
bool isValidUTF8(std::string_view text) noexcept;

/// Where the first sequence that is not well-formed UTF-8 starts in `text`; `text.size()` when there is none.
std::size_t invalidUTF8At(std::string_view text) noexcept;

} // namespace morvex
