#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

namespace morvex {

/// The values an option takes, by its long name, where the shell can offer them.
using OptionChoices = std::map<std::string, std::vector<std::string>, std::less<>>;

/// A completion script for `shell` ("bash", "zsh" or "fish") made from the options of `app`: every option with
/// its names, whether it takes a value, the values of `choices`, folders for `folderOptions`, files for
/// `fileOptions` and nothing for other values (free text such as a name); file names for the arguments. nullopt
/// for a shell it does not know.
std::optional<std::string> completionScript(const CLI::App& app, std::string_view shell, const OptionChoices& choices,
                                            const std::vector<std::string>& folderOptions,
                                            const std::vector<std::string>& fileOptions);

} // namespace morvex
