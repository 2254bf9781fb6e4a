#include "morvex/Console.h"
#include "morvex/MXLog.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sstream>

namespace morvex {
namespace {

using test::readFile;
using test::TempDir;

// 14:07:09.031 local time on 5 March 2024.
std::chrono::system_clock::time_point sampleTime()
{
    std::tm parts{};
    parts.tm_year = 124;
    parts.tm_mon = 2;
    parts.tm_mday = 5;
    parts.tm_hour = 14;
    parts.tm_min = 7;
    parts.tm_sec = 9;
    parts.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&parts)) + std::chrono::milliseconds(31);
}

struct ConsoleFixture : testing::Test
{
    TempDir home;
    std::ostringstream out;
    Console console{home / "Morvex.txt", out, [] { return sampleTime(); }};

    void log(std::vector<std::string> items, std::string_view file = "/src/Common/Console.src",
             std::string_view function = "save(_:)", long line = 53)
    {
        logEntry(console, items, file, function, line);
    }
};

TEST_F(ConsoleFixture, EntryHasTimeStampedHeaderThenOneLinePerItem)
{
    log({"first", "second"});
    const std::string header = "2024-03-05 14:07:09.031 in Console.src save(_:) [Line 53]:\n";
    EXPECT_EQ(out.str(), header + "first\nsecond\n\n");
    EXPECT_EQ(readFile(home / "Morvex.txt"), "\n" + header + "first\nsecond\n");
}

TEST_F(ConsoleFixture, NoItemsSavesTheHeaderAlone)
{
    log({});
    EXPECT_EQ(out.str(), "2024-03-05 14:07:09.031 in Console.src save(_:) [Line 53]:\n\n");
    EXPECT_EQ(readFile(home / "Morvex.txt"), "\n2024-03-05 14:07:09.031 in Console.src save(_:) [Line 53]:\n");
}

TEST_F(ConsoleFixture, FileNameIsTheLastPieceOfThePath)
{
    log({}, "/a/b/Foo.ext", "f()", 1);
    log({}, "Bare.ext", "g()", 2);
    log({}, "trailing/slash/", "h()", 3);
    const std::string text = out.str();
    EXPECT_NE(text.find(" in Foo.ext f() [Line 1]:"), std::string::npos);
    EXPECT_NE(text.find(" in Bare.ext g() [Line 2]:"), std::string::npos);
    EXPECT_NE(text.find(" in slash h() [Line 3]:"), std::string::npos);
}

TEST_F(ConsoleFixture, LaterProcessAppendsAfterThePreviousContent)
{
    test::writeFile(home / "Morvex.txt", "earlier run\n");
    log({"a"});
    log({"b"});
    const std::string stamp = "2024-03-05 14:07:09.031 in Console.src save(_:) [Line 53]:\n";
    EXPECT_EQ(readFile(home / "Morvex.txt"), "earlier run\n\n" + stamp + "a\n\n" + stamp + "b\n");
}

TEST(ConsoleSave, UnwritableFileIsReportedOnceOnOutputAndProgramGoesOn)
{
    TempDir home;
    std::filesystem::create_directory(home / "Morvex.txt"); // a folder where the file should be
    std::ostringstream out;
    Console console(home / "Morvex.txt", out, [] { return sampleTime(); });
    const std::string items[] = {"x"};
    logEntry(console, items, "a.cpp", "f()", 1);
    logEntry(console, items, "a.cpp", "f()", 2);
    const std::string text = out.str();
    const std::string report = " in Console save(_:) [Line 53]:\ncannot write ";
    ASSERT_NE(text.find(report), std::string::npos) << text;
    EXPECT_EQ(text.find(report), text.rfind(report)) << "reported once, without re-entering";
    EXPECT_NE(text.find("[Line 2]:\nx\n"), std::string::npos);
}

TEST(ConsoleTimestamp, AlwaysThreeDigitMillisecondsAndTwentyFourHours)
{
    std::ostringstream out;
    const auto midnight = sampleTime() - std::chrono::hours(14) - std::chrono::minutes(7) - std::chrono::seconds(9) -
                          std::chrono::milliseconds(31) + std::chrono::hours(23) + std::chrono::milliseconds(5);
    Console console("/nonexistent/Morvex.txt", out, [&] { return midnight; });
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
