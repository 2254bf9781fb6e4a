#include "morvex/CodeFileStart.h"
#include "morvex/SettingValues.h"

#include <ctime>
#include <gtest/gtest.h>

namespace morvex {
namespace {

// Noon UTC keeps the local date the same in every time zone the tests may run in.
std::chrono::system_clock::time_point noonUTC(int year, int month, int day)
{
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = 12;
    return std::chrono::system_clock::from_time_t(timegm(&parts));
}

// The golden files pin the whole block; these are the values that go into it.
TEST(CodeFileStartHeader, InsertsAuthorAndCompanyExactlyAsTypedOrTheDefaults)
{
    const CodeFileStart start({"  \u674E \u56DB ", "{code} & Co,", "P", "N"}, MXDate::fixed("2030/01/02"));
    const std::string block = start.header("A.h");
    EXPECT_NE(block.find("//  Created by   \u674E \u56DB  on 2030/01/02.\n"), std::string::npos);
    EXPECT_NE(block.find("//  Copyright \u00A9 2030\u5E74 {code} & Co,. All rights reserved.\n"), std::string::npos);
    EXPECT_NE(CodeFileStart({}, MXDate::fixed("2026/12/05")).header("X").find("Created by Lintrel on"),
              std::string::npos);
}

TEST(CodeFileStartHeader, YearFollowsTheDateOfTheBlock)
{
    // A process that wrote a header last year must not put last year's copyright next to today's date.
    std::chrono::system_clock::time_point now = noonUTC(2026, 12, 31);
    const MXDate date([&] { return now; }, true);
    EXPECT_NE(CodeFileStart(defaultSettingValues(), date).header("X").find("\u00A9 2026\u5E74"), std::string::npos);
    now = noonUTC(2027, 1, 1);
    const std::string block = CodeFileStart(defaultSettingValues(), date).header("X");
    EXPECT_NE(block.find("on 2027/01/01."), std::string::npos);
    EXPECT_NE(block.find("\u00A9 2027\u5E74"), std::string::npos);
    EXPECT_EQ(MXDate::yearOf("//2026/1"), "2026");
    EXPECT_EQ(MXDate::yearOf("///"), "");
}

} // namespace
} // namespace morvex
