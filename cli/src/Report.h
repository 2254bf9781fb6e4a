#pragma once

#include "morvex/Findings.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace morvex {

/// The version of the report's JSON layout; raised whenever a field changes meaning or goes away.
inline constexpr int reportVersion = 1;

/// The English wording of a finding, with keys and names escaped so that they print safely.
std::string findingMessage(const Finding& finding);

/// One line per finding on `err`, at most 50 followed by "and N more", then a one-line summary.
void printFindings(const Findings& findings, std::string_view program, std::ostream& err);

/// The findings as the report file holds them (see the README's "Findings report").
std::string reportText(const Findings& findings, std::string_view input);

} // namespace morvex
