#include "morvex/MXDate.h"

#include <cstdio>
#include <ctime>

namespace morvex {

MXDate::MXDate(Clock clock, bool utc) : m_clock(std::move(clock)), m_utc(utc) {}

MXDate MXDate::fixed(std::string text)
{
    MXDate date(nullptr);
    date.m_fixed = std::move(text);
    return date;
}

MXDate& MXDate::shared()
{
    static MXDate date;
    return date;
}

MXDate::Clock MXDate::systemClock()
{
    return [] { return std::chrono::system_clock::now(); };
}

std::string MXDate::today() const
{
    if (!m_clock)
        return m_fixed;
    const std::time_t now = std::chrono::system_clock::to_time_t(m_clock());
    std::tm parts{};
    if (m_utc)
        gmtime_r(&now, &parts);
    else
        localtime_r(&now, &parts);
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday);
    return text;
}

std::string MXDate::yearOf(const std::string& date)
{
    // The first non-empty piece between slashes.
    std::size_t start = date.find_first_not_of('/');
    if (start == std::string::npos)
        return {};
    return date.substr(start, date.find('/', start) - start);
}

} // namespace morvex
