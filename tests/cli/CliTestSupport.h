#pragma once

#include "morvex/Cli.h"

#include "TempDir.h"

#include <sstream>
#include <string>
#include <vector>

namespace morvex::test {

struct CliRun
{
    int exit = -1;
    std::string out;
    std::string err;
};

/// Runs the command line in-process with its settings in `settingsFolder` and a fixed clock.
inline CliRun runCliWith(const std::vector<std::string>& arguments, const std::string& input,
                         const std::filesystem::path& settingsFolder)
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CliEnvironment environment;
    environment.settingsFile = settingsFolder / "settings.json";
    environment.clock = [] { return std::chrono::system_clock::time_point(std::chrono::hours(24 * 365 * 56)); };
    CliRun run;
    run.exit = runCli(arguments, in, out, err, environment);
    run.out = out.str();
    run.err = err.str();
    return run;
}

/// Splits a line into words; double quotes group words with spaces.
inline std::vector<std::string> splitWords(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((c == ' ' || c == '\n') && !quoted) {
            if (any)
                words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any)
        words.push_back(word);
    return words;
}

} // namespace morvex::test
