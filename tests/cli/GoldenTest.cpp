#include "CliTestSupport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace morvex {
namespace {

using namespace morvex::test;

std::vector<std::string> goldenCases()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(MORVEX_TEST_DATA) / "golden"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenOutput : public testing::TestWithParam<std::string>
{
protected:
    std::filesystem::path folder() const { return std::filesystem::path(MORVEX_TEST_DATA) / "golden" / GetParam(); }

    std::vector<std::string> arguments() const
    {
        auto words = splitWords(readFile(folder() / "args"));
        words.push_back("--date");
        words.push_back("2026/12/05");
        return words;
    }

    std::string expectedErr() const
    {
        return std::filesystem::exists(folder() / "stderr.txt") ? readFile(folder() / "stderr.txt") : "";
    }
};

TEST_P(GoldenOutput, PrintsTheCodeViewText)
{
    TempDir settings;
    const CliRun run = runCliWith(arguments(), readFile(folder() / "input.json"), settings.path());
    if (!std::filesystem::exists(folder() / "display.txt")) {
        EXPECT_EQ(run.exit, exitBadInput);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, expectedErr());
        return;
    }
    EXPECT_EQ(run.exit, exitOk) << run.err;
    EXPECT_EQ(run.out, readFile(folder() / "display.txt"));
    // Findings come on top of the expected warnings, each of which must still be said.
    std::istringstream lines(expectedErr());
    for (std::string line; std::getline(lines, line);)
        EXPECT_NE(run.err.find(line.substr(line.find("warning: ") + 9)), std::string::npos) << line;
}

TEST_P(GoldenOutput, WritesExactlyTheExpectedFiles)
{
    TempDir settings;
    TempDir out;
    auto words = arguments();
    words.push_back("-o");
    words.push_back(out.path().string());
    const CliRun run = runCliWith(words, readFile(folder() / "input.json"), settings.path());
    EXPECT_EQ(run.out, "");
    if (!std::filesystem::exists(folder() / "files")) {
        EXPECT_EQ(run.exit, exitBadInput);
        EXPECT_TRUE(listFolder(out.path()).empty()) << "nothing is written for bad input";
        return;
    }
    EXPECT_EQ(run.exit, exitOk) << run.err;
    const auto expected = listFolder(folder() / "files");
    ASSERT_EQ(listFolder(out.path()), expected);
    for (const auto& name : expected)
        EXPECT_EQ(readFile(out / name), readFile(folder() / "files" / name)) << name;
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenOutput, testing::ValuesIn(goldenCases()),
                         [](const testing::TestParamInfo<std::string>& row) {
                             std::string name = row.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace morvex
