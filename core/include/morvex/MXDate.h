#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace morvex {

/// Supplies the date written into file headers, "yyyy/MM/dd" in the local time zone, from a replaceable clock.
class MXDate
{
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    /// Dates from `clock`, in local time (or UTC when `utc` is set).
    explicit MXDate(Clock clock = systemClock(), bool utc = false);

    /// A date fixed to `text` (already "yyyy/MM/dd").
    static MXDate fixed(std::string text);

    /// The process-wide instance on the system clock.
    static MXDate& shared();

    static Clock systemClock();

    /// Today's date, for example "2026/12/05".
    std::string today() const;

    /// The year of a date text: its part before the first "/" ("" when there is none).
    static std::string yearOf(const std::string& date);

private:
    Clock m_clock;
    bool m_utc;
    std::string m_fixed;
};

} // namespace morvex
