#pragma once

#include "morvex/BKLog.h"
#include "morvex/Console.h"

#include <exception>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace morvex {

/// The plain text form of a logged value: text unchanged, numbers in decimal, errors by their description.
template <typename T>
std::string logText(const T& value)
{
    if constexpr (std::is_convertible_v<const T&, std::string_view>) {
        return std::string(std::string_view(value));
    } else if constexpr (std::is_same_v<T, bool>) {
        return value ? "true" : "false";
    } else if constexpr (std::is_arithmetic_v<T>) {
        std::ostringstream text;
        if constexpr (std::is_floating_point_v<T>)
            text.precision(17);
        text << value;
        return text.str();
    } else if constexpr (std::is_base_of_v<std::exception, T>) {
        return value.what();
    } else if constexpr (std::is_same_v<T, std::error_code>) {
        return value.message();
    } else {
        std::ostringstream text;
        text << value;
        return text.str();
    }
}

/// Writes one entry (header line, one line per item) to the console's output and saves it.
/// `save` false only echoes: used to report a log file that cannot be written.
void logEntry(Console& console, std::span<const std::string> items, std::string_view file, std::string_view function,
              long line, bool save = true);

/// Logs any number of values with the calling site's location: `MXLog("saved", count);`
template <typename... Items>
struct MXLog
{
    explicit MXLog(const Items&... items, SourceLocation location = SourceLocation::current())
    {
        const std::string texts[] = {logText(items)..., std::string()};
        logEntry(Console::shared(), std::span<const std::string>(texts, sizeof...(Items)), location.file_name(),
                 location.function_name(), static_cast<long>(location.line()));
    }
};

template <typename... Items>
MXLog(const Items&...) -> MXLog<Items...>;

} // namespace morvex
