#pragma once

#include <functional>
#include <string_view>
#include <version>
#if __has_include(<source_location>)
#include <source_location>
#endif

namespace morvex {

#if defined(__cpp_lib_source_location)
using SourceLocation = std::source_location;
#else
/// Where a call was written, for compilers whose standard library lacks std::source_location (clang before 15
/// with libstdc++, which the fuzzing build uses).
class SourceLocation
{
public:
    static constexpr SourceLocation current(const char* file = __builtin_FILE(),
                                            const char* function = __builtin_FUNCTION(),
                                            unsigned line = __builtin_LINE()) noexcept
    {
        SourceLocation location;
        location.m_file = file;
        location.m_function = function;
        location.m_line = line;
        return location;
    }
    constexpr const char* file_name() const noexcept { return m_file; }
    constexpr const char* function_name() const noexcept { return m_function; }
    constexpr unsigned line() const noexcept { return m_line; }

private:
    const char* m_file = "";
    const char* m_function = "";
    unsigned m_line = 0;
};
#endif

/// Where debug-log lines go. Nothing in the program reads them; by default they are dropped.
using BKLogSink =
    std::function<void(std::string_view value, std::string_view file, std::string_view method, unsigned line)>;

/// Installs the sink (an empty function switches the debug log off). Returns the previous sink.
BKLogSink setBKLogSink(BKLogSink sink);

/// True when a sink is installed, so callers can skip building expensive values.
bool bkLogEnabled();

/// Writes one debug-log line with the caller's location.
void BKLog(std::string_view value, std::string_view method, SourceLocation location = SourceLocation::current());

} // namespace morvex
