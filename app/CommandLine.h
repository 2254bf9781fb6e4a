#pragma once

#include <iosfwd>
#include <optional>

namespace morvex {

/// Answers `--help` and `--version` on the terminal, before any window system is touched, so that both work
/// without a display. Returns the exit code when it answered, nullopt when the app should start.
std::optional<int> answerCommandLine(int argc, const char* const* argv, std::ostream& out);

} // namespace morvex
