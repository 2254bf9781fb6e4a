#include "morvex/Console.h"

#include "morvex/AtomicFile.h"
#include "morvex/MXLog.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>

namespace morvex {

Console::Console(std::filesystem::path path, std::ostream& output, Clock clock)
    : m_path(std::move(path)), m_output(output), m_clock(std::move(clock))
{}

Console& Console::shared()
{
    static Console console(
        [] {
            const char* home = std::getenv("HOME");
            return std::filesystem::path(std::string(home ? home : "") + "/Morvex.txt");
        }(),
        std::cout);
    return console;
}

Console::Clock Console::defaultClock()
{
    return [] { return std::chrono::system_clock::now(); };
}

std::string Console::timestamp() const
{
    using namespace std::chrono;
    const auto now = m_clock();
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>((millis + 1000) % 1000));
    return text;
}

void Console::save(std::string_view entry)
{
    if (!m_logs) {
        std::string previous;
        std::error_code ignored;
        // Only a regular file is read: a named pipe there would block until some other program wrote to it.
        if (std::filesystem::status(m_path, ignored).type() != std::filesystem::file_type::regular ||
            !readWholeFile(m_path, previous, ignored))
            previous.clear();
        m_logs.emplace();
        m_logs->push_back(std::move(previous));
    }
    m_logs->emplace_back(entry);

    std::string joined;
    size_t size = 0;
    for (const auto& piece : *m_logs)
        size += piece.size() + 1;
    joined.reserve(size);
    for (size_t i = 0; i < m_logs->size(); ++i) {
        if (i > 0)
            joined += '\n';
        joined += (*m_logs)[i];
    }

    std::error_code error = writeFileAtomically(m_path, joined);
    if (!error) {
        m_failureReported = false;
        return;
    }
    if (m_failureReported)
        return;
    m_failureReported = true;
    const std::string items[] = {"cannot write " + m_path.string() + ": " + error.message()};
    logEntry(*this, items, "Common/Console", "save(_:)", 53, false);
}

} // namespace morvex
