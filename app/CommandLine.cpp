#include "CommandLine.h"

#include "AppVersion.h"

#include <ostream>
#include <string_view>

namespace morvex {

std::optional<int> answerCommandLine(int argc, const char* const* argv, std::ostream& out)
{
    // Any other argument is left to Qt, which knows its own (-platform, -style, ...).
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--version" || argument == "-v") {
            const AppVersion& version = AppVersion::current();
            out << "morvex " << version.shortVersion.toStdString() << " (build " << version.build.toStdString()
                << ")\n";
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            out << "Usage: morvex [Qt options]\n"
                   "Opens the desktop app that turns a JSON sample into Swift or Objective-C model code.\n"
                   "A running copy is brought to the front instead of starting a second one.\n\n"
                   "  -h, --help      show this help and exit\n"
                   "  -v, --version   show the version and exit\n\n"
                   "For scripts, use morvex-cli (see morvex-cli --help).\n";
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace morvex
