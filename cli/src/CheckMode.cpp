#include "CheckMode.h"

#include <fstream>
#include <ostream>
#include <sstream>
#include <unordered_map>

namespace morvex {

namespace {

constexpr std::size_t headerLines = 8;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The header line with its date (or year) blanked, so that a later day compares equal.
std::string withoutDate(std::string line)
{
    constexpr std::string_view created = "//  Created by ";
    constexpr std::string_view copyright = "//  Copyright © ";
    if (line.rfind(created, 0) == 0 && line.size() >= 12) {
        const std::size_t at = line.size() - 11; // " on YYYY/MM/DD." ends the line
        if (line[at + 4] == '/' && line[at + 7] == '/' && line.back() == '.')
            line.replace(at, 10, "YYYY/MM/DD");
    } else if (line.rfind(copyright, 0) == 0 && line.size() >= copyright.size() + 4 &&
               isDigit(line[copyright.size()])) {
        line.replace(copyright.size(), 4, "YYYY");
    }
    return line;
}

bool sameLine(const std::string& a, const std::string& b, std::size_t index)
{
    return a == b || (index < headerLines && withoutDate(a) == withoutDate(b));
}

} // namespace

bool checkFiles(const std::vector<GeneratedFile>& files, const std::filesystem::path& folder, std::string_view program,
                std::ostream& err)
{
    // Of several files with one name only the last would be written.
    std::unordered_map<std::string_view, std::size_t> last;
    for (std::size_t i = 0; i < files.size(); ++i)
        last[files[i].name] = i;
    bool agree = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (last[files[i].name] != i)
            continue;
        const GeneratedFile& file = files[i];
        const std::filesystem::path path = folder / file.name;
        std::ifstream stream(path, std::ios::binary);
        if (!stream) {
            err << program << ": missing: " << path.string() << '\n';
            agree = false;
            continue;
        }
        std::ostringstream held;
        held << stream.rdbuf();
        const auto want = linesOf(file.text);
        const auto have = linesOf(held.str());
        std::size_t line = 0;
        while (line < want.size() && line < have.size() && sameLine(want[line], have[line], line))
            ++line;
        const bool endsAlike =
            (held.str().empty() || held.str().back() == '\n') == (file.text.empty() || file.text.back() == '\n');
        if (line == want.size() && line == have.size() && endsAlike)
            continue;
        agree = false;
        err << program << ": differs: " << path.string() << "\n@@ line " << line + 1 << " @@\n";
        if (line < have.size())
            err << "-" << have[line] << '\n';
        if (line < want.size())
            err << "+" << want[line] << '\n';
    }
    return agree;
}

} // namespace morvex
