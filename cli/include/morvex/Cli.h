#pragma once

#include "morvex/ExitCode.h"
#include "morvex/MXDate.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace morvex {

/// What the command line takes from its process besides the arguments; tests supply their own.
struct CliEnvironment
{
    /// Where the remembered settings live.
    std::filesystem::path settingsFile;
    /// SOURCE_DATE_EPOCH, when set: the header date in seconds since 1970 (UTC).
    std::optional<std::string> sourceDateEpoch;
    /// The clock for header dates when neither --date nor SOURCE_DATE_EPOCH is given.
    MXDate::Clock clock = MXDate::systemClock();

    static CliEnvironment fromProcess();
};

/// Runs morvex-cli with `arguments` (without the program name), reading JSON from `in` when no file is named;
/// returns one of the codes of ExitCode.h.
int runCli(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment = CliEnvironment::fromProcess());

} // namespace morvex
