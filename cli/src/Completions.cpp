#include "Completions.h"

#include <CLI/CLI.hpp>
#include <algorithm>

namespace morvex {

namespace {

struct Entry
{
    std::string longName;
    std::string shortName;
    std::string description;
    bool takesValue = false;
    const std::vector<std::string>* choices = nullptr;
    bool folder = false;
    bool file = false;
};

bool listed(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::vector<Entry> entries(const CLI::App& app, const OptionChoices& choices, const std::vector<std::string>& folders,
                           const std::vector<std::string>& files)
{
    std::vector<Entry> out;
    for (const CLI::Option* option : app.get_options()) {
        if (!option->nonpositional() || option->get_lnames().empty())
            continue;
        Entry entry;
        entry.longName = option->get_lnames().front();
        if (!option->get_snames().empty())
            entry.shortName = option->get_snames().front();
        // Shell quoting and the syntax of zsh option lines: keep the description to plain words.
        for (char c : option->get_description())
            entry.description += std::string_view("'[]:\\\"`$").find(c) == std::string_view::npos ? c : ' ';
        entry.takesValue = option->get_items_expected_min() > 0;
        if (auto found = choices.find(entry.longName); found != choices.end())
            entry.choices = &found->second;
        entry.folder = listed(folders, entry.longName);
        entry.file = listed(files, entry.longName);
        out.push_back(std::move(entry));
    }
    return out;
}

std::string joined(const std::vector<std::string>& words)
{
    std::string out;
    for (const auto& word : words)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

std::string bash(const std::string& program, const std::vector<Entry>& options)
{
    std::string function = "_" + program;
    std::replace(function.begin(), function.end(), '-', '_');
    std::string names;
    std::string cases;
    for (const auto& o : options) {
        const std::string pattern = (o.shortName.empty() ? "" : "-" + o.shortName + "|") + "--" + o.longName;
        names += (names.empty() ? "" : " ") + (o.shortName.empty() ? "" : "-" + o.shortName + " ") + "--" + o.longName;
        if (!o.takesValue)
            continue;
        cases += "        " + pattern + ") ";
        if (o.choices)
            cases += "COMPREPLY=($(compgen -W \"" + joined(*o.choices) + "\" -- \"$cur\")) ;;\n";
        else
            cases += o.folder ? "COMPREPLY=($(compgen -d -- \"$cur\")) ;;\n"
                     : o.file ? "COMPREPLY=($(compgen -f -- \"$cur\")) ;;\n"
                              : "COMPREPLY=() ;;\n";
    }
    return "# bash completion for " + program + "\n" + function + "()\n{\n" +
           "    local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n" +
           "    case \"$prev\" in\n" + cases + "        *)\n" + "            if [[ \"$cur\" == -* ]]; then\n" +
           "                COMPREPLY=($(compgen -W \"" + names + "\" -- \"$cur\"))\n" + "            else\n" +
           "                COMPREPLY=($(compgen -f -- \"$cur\"))\n" + "            fi ;;\n" + "    esac\n}\n" +
           "complete -o filenames -F " + function + " " + program + "\n";
}

std::string zsh(const std::string& program, const std::vector<Entry>& options)
{
    std::string out = "#compdef " + program + "\n_arguments -s \\\n";
    for (const auto& o : options) {
        const std::string text = "[" + o.description + "]";
        std::string value;
        if (o.takesValue)
            value = ":" + o.longName + ":" +
                    (o.choices  ? "(" + joined(*o.choices) + ")"
                     : o.folder ? "_files -/"
                     : o.file   ? "_files"
                                : " ");
        if (o.shortName.empty())
            out.append("  '--").append(o.longName);
        else
            out.append("  '(-")
                .append(o.shortName)
                .append(" --")
                .append(o.longName)
                .append(")'{-")
                .append(o.shortName)
                .append(",--")
                .append(o.longName)
                .append("}'");
        out.append(text).append(value).append("' \\\n");
    }
    return out + "  '*:JSON file:_files'\n";
}

std::string fish(const std::string& program, const std::vector<Entry>& options)
{
    std::string out = "# fish completion for " + program + "\n";
    for (const auto& o : options) {
        out += "complete -c " + program + (o.shortName.empty() ? "" : " -s " + o.shortName) + " -l " + o.longName +
               " -d '" + o.description + "'";
        if (o.choices)
            out += " -x -a '" + joined(*o.choices) + "'";
        else if (o.folder)
            out += " -x -a '(__fish_complete_directories)'";
        else if (o.file)
            out += " -r -F";
        else if (o.takesValue)
            out += " -x"; // free text: no file names
        out += "\n";
    }
    return out;
}

} // namespace

std::optional<std::string> completionScript(const CLI::App& app, std::string_view shell, const OptionChoices& choices,
                                            const std::vector<std::string>& folderOptions,
                                            const std::vector<std::string>& fileOptions)
{
    const std::vector<Entry> options = entries(app, choices, folderOptions, fileOptions);
    const std::string& program = app.get_name();
    if (shell == "bash")
        return bash(program, options);
    if (shell == "zsh")
        return zsh(program, options);
    if (shell == "fish")
        return fish(program, options);
    return std::nullopt;
}

} // namespace morvex
