#pragma once

#include <functional>
#include <source_location>
#include <string_view>

namespace morvex {

/// Where debug-log lines go. Nothing in the program reads them; by default they are dropped.
using BKLogSink =
    std::function<void(std::string_view value, std::string_view file, std::string_view method, unsigned line)>;

/// Installs the sink (an empty function switches the debug log off). Returns the previous sink.
BKLogSink setBKLogSink(BKLogSink sink);

/// True when a sink is installed, so callers can skip building expensive values.
bool bkLogEnabled();

/// Writes one debug-log line with the caller's location.
void BKLog(std::string_view value, std::string_view method,
           std::source_location location = std::source_location::current());

} // namespace morvex
