#include "morvex/MXLog.h"

#include <ostream>

namespace morvex {

namespace {

std::string_view lastPathPiece(std::string_view file)
{
    while (!file.empty() && file.back() == '/')
        file.remove_suffix(1);
    size_t slash = file.rfind('/');
    return slash == std::string_view::npos ? file : file.substr(slash + 1);
}

} // namespace

void logEntry(Console& console, std::span<const std::string> items, std::string_view file, std::string_view function,
              long line, bool save)
{
    std::string entry = console.timestamp();
    entry += " in ";
    entry += lastPathPiece(file);
    entry += ' ';
    entry += function;
    entry += " [Line ";
    entry += std::to_string(line);
    entry += "]:\n";
    for (const auto& item : items) {
        entry += item;
        entry += '\n';
    }
    std::ostream& out = console.output();
    out << entry << '\n';
    out.flush();
    if (save)
        console.save(entry);
}

} // namespace morvex
