#include "CliProcess.h"

#include <gtest/gtest.h>

namespace morvex {
namespace {

using namespace morvex::test;

TEST(CliProcess, ConvertsStandardInputAndRemembersInConfigFolder)
{
    TempDir dir;
    const Process first = runCliProcess(dir, {"--remember", "-p", "QQ", "-n", "thing"}, R"({"a":{"b":[1]}})");
    EXPECT_EQ(first.exit, 0) << first.err;
    EXPECT_EQ(first.out,
              "class QQThing: Codable {\n\n    var a: QQA\n}\n\nclass QQA: Codable {\n\n    var b: [Int]\n}\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "config/morvex/settings.json"));
    const Process second = runCliProcess(dir, {"-l", "objc"}, "{}");
    EXPECT_NE(second.out.find("@interface QQThing : NSObject"), std::string::npos);
}

TEST(CliProcess, ExitCodesReachTheShell)
{
    TempDir dir;
    EXPECT_EQ(runCliProcess(dir, {}, "[1,").exit, 1);
    EXPECT_EQ(runCliProcess(dir, {"--lang", "cobol"}, "{}").exit, 2);
    EXPECT_EQ(runCliProcess(dir, {"-o", "/dev/null/folder"}, "{}").exit, 3);
}

TEST(CliProcess, SourceDateEpochFromEnvironment)
{
    TempDir dir;
    const Process run = runCliProcess(dir, {"-l", "objc"}, "{}", {}, {}, {}, {"SOURCE_DATE_EPOCH=0"});
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_NE(run.out.find("Created by Lintrel on 1970/01/01."), std::string::npos);
}

} // namespace
} // namespace morvex
