#pragma once

#include <string>
#include <string_view>

namespace morvex {

/// Appends `text` to `out` as a JSON string: quoted, with quotes, backslashes and control characters escaped.
/// The bytes are taken as UTF-8 and otherwise copied as they are.
void appendJSONString(std::string& out, std::string_view text);

} // namespace morvex
