#include "morvex/BKLog.h"

#include <utility>

namespace morvex {

namespace {

BKLogSink& sink()
{
    static BKLogSink instance;
    return instance;
}

} // namespace

BKLogSink setBKLogSink(BKLogSink newSink)
{
    return std::exchange(sink(), std::move(newSink));
}

bool bkLogEnabled()
{
    return static_cast<bool>(sink());
}

void BKLog(std::string_view value, std::string_view method, SourceLocation location)
{
    if (auto& current = sink())
        current(value, location.file_name(), method, location.line());
}

} // namespace morvex
