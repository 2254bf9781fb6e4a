#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

namespace morvex {
namespace {

using namespace morvex::test;

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct Process
{
    int exit;
    std::string out;
    std::string err;
};

// Runs the real binary with a private home and configuration folder.
Process runBinary(const TempDir& dir, const std::string& arguments, const std::string& input)
{
    writeFile(dir / "stdin", input);
    const std::string command = "cd " + quoted(dir.path().string()) +
                                " && env -u SOURCE_DATE_EPOCH HOME=" + quoted(dir.path().string()) +
                                " XDG_CONFIG_HOME=" + quoted((dir / "config").string()) + " " +
                                quoted(MORVEX_CLI_PATH) + " " + arguments + " <stdin >stdout 2>stderr";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir / "stdout"), readFile(dir / "stderr")};
}

TEST(CliProcess, ConvertsStandardInputAndRemembersInConfigFolder)
{
    TempDir dir;
    const Process first = runBinary(dir, "--remember -p QQ -n thing", R"({"a":{"b":[1]}})");
    EXPECT_EQ(first.exit, 0) << first.err;
    EXPECT_EQ(first.out,
              "class QQThing: Codable {\n\n    var a: QQA\n}\n\nclass QQA: Codable {\n\n    var b: [Int]\n}\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "config/morvex/settings.json"));
    const Process second = runBinary(dir, "-l objc", "{}");
    EXPECT_NE(second.out.find("@interface QQThing : NSObject"), std::string::npos);
}

TEST(CliProcess, ExitCodesReachTheShell)
{
    TempDir dir;
    EXPECT_EQ(runBinary(dir, "", "[1,").exit, 1);
    EXPECT_EQ(runBinary(dir, "--lang cobol", "{}").exit, 2);
    EXPECT_EQ(runBinary(dir, "-o /dev/null/folder", "{}").exit, 3);
}

TEST(CliProcess, SourceDateEpochFromEnvironment)
{
    TempDir dir;
    writeFile(dir / "stdin", "{}");
    const std::string command = "cd " + quoted(dir.path().string()) + " && HOME=" + quoted(dir.path().string()) +
                                " SOURCE_DATE_EPOCH=0 " + quoted(MORVEX_CLI_PATH) + " -l objc <stdin >stdout 2>stderr";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_NE(readFile(dir / "stdout").find("Created by Lintrel on 1970/01/01."), std::string::npos);
}

} // namespace
} // namespace morvex
