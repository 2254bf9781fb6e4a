#include "morvex/Console.h"
#include "morvex/MXLog.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace morvex {
namespace {

using test::readFile;
using test::TempDir;

// 14:07:09.031 local time on 5 March 2024, plus `later`.
std::chrono::system_clock::time_point sampleTime(std::chrono::milliseconds later = {})
{
    std::tm parts{};
    parts.tm_year = 124;
    parts.tm_mon = 2;
    parts.tm_mday = 5;
    parts.tm_hour = 14;
    parts.tm_min = 7;
    parts.tm_sec = 9;
    parts.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&parts)) + std::chrono::milliseconds(31) + later;
}

// Each entry is printed with a blank line after it and appended to what earlier runs left, after a blank line.
TEST(Console, EntriesGoToTheOutputAndAfterTheEarlierLog)
{
    TempDir home;
    test::writeFile(home / "Morvex.txt", "earlier run\n");
    std::ostringstream out;
    Console console{home / "Morvex.txt", out, [] { return sampleTime(); }};
    const std::string two[] = {"first", "second"};
    logEntry(console, two, "/src/Common/Console.src", "save(_:)", 53);
    logEntry(console, {}, "Bare.ext", "g()", 2);
    logEntry(console, {}, "trailing/slash/", "h()", 3);
    const std::string stamp = "2024-03-05 14:07:09.031 in ";
    const std::string entries[] = {stamp + "Console.src save(_:) [Line 53]:\nfirst\nsecond\n",
                                   stamp + "Bare.ext g() [Line 2]:\n", stamp + "slash h() [Line 3]:\n"};
    EXPECT_EQ(out.str(), entries[0] + "\n" + entries[1] + "\n" + entries[2] + "\n");
    EXPECT_EQ(readFile(home / "Morvex.txt"), "earlier run\n\n" + entries[0] + "\n" + entries[1] + "\n" + entries[2]);
}

TEST(Console, TimestampHasThreeDigitMillisecondsAndTwentyFourHours)
{
    std::ostringstream out;
    Console console("/nonexistent/Morvex.txt", out, [] {
        return sampleTime(std::chrono::hours(8) + std::chrono::minutes(53) - std::chrono::seconds(9) -
                          std::chrono::milliseconds(26));
    });
    EXPECT_EQ(console.timestamp(), "2024-03-05 23:00:00.005");
}

TEST(LogText, PlainFormsOfValues)
{
    EXPECT_EQ(logText(std::string("text")), "text");
    EXPECT_EQ(logText(42), "42");
    EXPECT_EQ(logText(-1.5), "-1.5");
    EXPECT_EQ(logText(true), "true");
    EXPECT_EQ(logText(std::make_error_code(std::errc::permission_denied)), "Permission denied");
    EXPECT_EQ(logText(std::runtime_error("boom")), "boom");
}

} // namespace
} // namespace morvex
