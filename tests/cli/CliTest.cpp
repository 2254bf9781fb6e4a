#include "morvex/Cli.h"
#include "morvex/JSON.h"
#include "morvex/KeyValueStore.h"

#include "InputGuard.h"
#include "TempDir.h"

#include <csignal>
#include <gtest/gtest.h>
#include <iomanip>
#include <sstream>

namespace morvex {
namespace {

using namespace morvex::test;

struct CliRun
{
    int exit = -1;
    std::string out;
    std::string err;
};

/// The command line in-process, its settings in `settingsFolder`, on a fixed clock unless `epoch` is given.
CliRun runCliWith(const std::vector<std::string>& arguments, const std::string& input,
                  const std::filesystem::path& settingsFolder, std::optional<std::string> epoch = {})
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CliEnvironment environment;
    environment.settingsFile = settingsFolder / "settings.json";
    environment.clock = [] { return std::chrono::system_clock::time_point(std::chrono::hours(24 * 365 * 56)); };
    environment.sourceDateEpoch = std::move(epoch);
    const int exit = runCli(arguments, in, out, err, environment);
    return {exit, out.str(), err.str()};
}

struct CliFixture : testing::Test
{
    TempDir settings;
    TempDir out;

    CliRun run(const std::vector<std::string>& arguments, const std::string& input = R"({"id":1})")
    {
        return runCliWith(arguments, input, settings.path());
    }
    std::string stored() const { return KeyValueStore(settings / "settings.json").string("SettingSave"); }
};

struct UsageCase
{
    const char* name;
    std::vector<std::string> arguments;
    const char* message;
};

class CliUsage : public CliFixture, public testing::WithParamInterface<UsageCase>
{};

TEST_P(CliUsage, ExitsTwoWithMessageAndWritesNothing)
{
    auto arguments = GetParam().arguments;
    arguments.emplace_back("-o");
    arguments.push_back(out.path().string());
    const CliRun result = run(arguments);
    EXPECT_EQ(result.exit, exitUsage);
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
    EXPECT_TRUE(listFolder(out.path()).empty());
    EXPECT_EQ(stored(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliUsage,
    testing::Values(UsageCase{"UnknownLanguage", {"-l", "kotlin"}, "kotlin"},
                    UsageCase{"UnknownKind", {"--kind", "enum"}, "enum"},
                    UsageCase{"UnknownMapping", {"-m", "yaml"}, "yaml"},
                    UsageCase{"UnknownOption",
                              {"--frobnicate"},
                              "morvex-cli: The following argument was not expected: --frobnicate"},
                    UsageCase{"EmptyPrefix", {"-p", ""}, "class-name prefix must not be empty"},
                    UsageCase{"EmptyName", {"--name", ""}, "root type name must not be empty"},
                    UsageCase{"EmptyBase", {"-b", ""}, "base class must not be empty"},
                    UsageCase{"EmptyAuthor", {"--author", ""}, "author must not be empty"},
                    UsageCase{"EmptyCompany", {"--company", ""}, "company must not be empty"},
                    UsageCase{"InvalidUTF8Name", {"-n", "Bad\xFF"}, "not valid UTF-8"},
                    UsageCase{"BadDate", {"--date", "2026-12-05"}, "YYYY/MM/DD"},
                    UsageCase{"CommaRemembered", {"--company", "Acme, Inc.", "--remember"}, "contains a comma"},
                    UsageCase{"AuthorLineBreak", {"--author", "Ann\n#import x", "--remember"}, "holds a control"},
                    UsageCase{"CompanyBidiOverride", {"--company", "\u202Eoc"}, "\"\\u{202E}oc\" holds a control"},
                    UsageCase{"PrefixCode", {"-p", "M;X"}, "prefix \"M;X\" may hold only"},
                    UsageCase{"NameLineBreak", {"-n", "Root\u2028"}, "name \"Root\\u{2028}\" may hold only"},
                    UsageCase{"BaseCode", {"-b", "Codable {}"}, "base class"},
                    UsageCase{"SwiftProtocolList", {"-b", "A <B>"}, "base class"},
                    UsageCase{"TwoProtocolLists", {"-l", "objc", "-b", "NSObject <A> <B>"}, "base class"},
                    UsageCase{"UnclosedProtocolList", {"-l", "objc", "-b", "NSObject <A<"}, "base class"},
                    UsageCase{"EmptyProtocolList", {"-l", "objc", "-b", "NSObject <>"}, "base class"},
                    UsageCase{"BaseStartsWithDigit", {"-b", "9Lives"}, "base class"},
                    UsageCase{"NoSuchDay", {"--date", "2026/02/31"}, "YYYY/MM/DD"},
                    UsageCase{"NotALeapYear", {"--date", "2025/02/29"}, "YYYY/MM/DD"}),
    [](const testing::TestParamInfo<UsageCase>& row) { return row.param.name; });

// Runs that print: the exit code, and a piece each of standard output and standard error ("" for any).
TEST_F(CliFixture, RunsThatPrint)
{
    writeFile(out / "in.json", R"({"fromFile":1})");
    const struct
    {
        std::vector<std::string> arguments;
        std::string input;
        int exit;
        std::string inOut;
        std::string inErr;
    } rows[] = {
        {{(out / "in.json").string()}, "", exitOk, "var fromFile: Int", ""},
        {{"-"}, R"({"fromStdin":1})", exitOk, "var fromStdin: Int", ""},
        {{}, "", exitBadInput, "", "the input is empty"},
        {{(out / "nope.json").string()}, "{}", exitBadInput, "", "cannot read " + (out / "nope.json").string()},
        {{out.path().string()}, "{}", exitBadInput, "", "cannot read "},
        {{"-l", "objc", "-k", "struct"}, "{}", exitOk, "@interface MXRootModel : NSObject\n", ""},
        {{"-b", "Codable & Equatable,Hashable"}, "{}", exitOk, "class MXRootModel: Codable & Equatable,Hashable {", ""},
        {{"-b", "NSObject", "-o", (out / "written").string()}, "{\"id\":1}", exitOk, "", "has no initialiser"},
        {{"-l", "objc", "-b", "NSObject<NSCoding, NSCopying>"},
         "{}",
         exitOk,
         "@interface MXRootModel : NSObject<NSCoding, NSCopying>\n",
         ""},
        {{"-l", "objc", "--date", "2024/02/29", "--company", "Acme, Inc."},
         "{}",
         exitOk,
         "on 2024/02/29.\n//  Copyright \u00A9 2024\u5E74 Acme, Inc.. All rights reserved.",
         ""},
        // A prefix or root name of safe characters can still make no type name: said, not refused.
        {{"-p", "1"}, "{}", exitOk, "class 1RootModel", "prefix \"1\" makes type names that are not Swift identifiers"},
        {{"-l", "objc", "-n", "a b"}, "{}", exitOk, "@interface MXA b", "name \"MXA b\" is not an Objective-C"},
        {{"--report", "-"}, "{}", exitUsage, "", "--report - writes to standard output"},
        {{"--help"}, "", exitOk, "--mapping", ""},
        {{"--version"}, "", exitOk, "morvex-cli ", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.empty() ? "" : row.arguments[0]);
        const CliRun result = run(row.arguments, row.input);
        EXPECT_EQ(result.exit, row.exit) << result.err;
        EXPECT_NE(result.out.find(row.inOut), std::string::npos) << result.out;
        EXPECT_NE(result.err.find(row.inErr), std::string::npos) << result.err;
    }
}

// --check writes nothing (not even a missing folder), ignores only the header's date, and the exit codes of
// check, --strict and a report that cannot be written combine by severity.
TEST_F(CliFixture, CheckStrictAndReportExitCodes)
{
    const std::string json = R"({"a":{"x":1},"memo":null})";
    const std::string folder = (out / "models").string();
    const std::pair<std::vector<std::string>, int> steps[] = {
        {{"--check", "-o", folder}, exitCheckDiffers},
        {{"--date", "2026/12/05", "-o", folder}, exitOk},
        {{"--date", "2027/01/02", "--check", "-o", folder}, exitOk},
        {{"--check", "--author", "Someone else", "-o", folder}, exitCheckDiffers},
        {{"--strict", "-o", folder}, exitStrictFindings},
        {{"--strict", "--check", "--author", "Someone else", "-o", folder}, exitCheckDiffers},
        {{"--strict", "--report", folder + "/MXA.swift/r.json", "-o", folder}, exitWriteFailed},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(run(steps[i].first, json).exit, steps[i].second);
        if (i == 0) {
            EXPECT_FALSE(std::filesystem::exists(folder)) << "a check creates no folder";
        }
    }
    EXPECT_EQ(listFolder(folder), (std::vector<std::string>{"MXA.swift", "MXRootModel.swift"}));
    std::ofstream(folder + "/MXA.swift", std::ios::app) << "// a line the generator did not write\n";
    EXPECT_EQ(run({"--date", "2026/12/05", "--check", "-o", folder}, json).exit, exitCheckDiffers);

    const std::string report = (out / "report.json").string();
    ASSERT_EQ(run({"--report", report, "-o", folder}, json).exit, exitOk);
    const JSONDocument parsed = JSONDocument::parse(readFile(report));
    ASSERT_TRUE(parsed.ok()) << readFile(report);
    std::size_t kept = 0;
    parsed.root().forEach(
        [&](std::string_view key, const JSON& value) { kept += key == "findings" ? value.size() : 0; });
    EXPECT_EQ(kept, 1u) << "memo is dropped";
}

TEST_F(CliFixture, RememberStoresFourValuesAndLaterRunsUseThem)
{
    EXPECT_EQ(run({"--author", "Ann"}).exit, exitOk);
    EXPECT_FALSE(std::filesystem::exists(settings / "settings.json")) << "nothing stored without --remember";
    EXPECT_EQ(run({"--remember", "--author", "Ann", "--company", "Co", "-p", "ZZ", "-n", "shop"}).exit, exitOk);
    EXPECT_EQ(stored(), "Ann,Co,ZZ,shop");
    const CliRun later = run({"--date", "2026/12/05", "-o", out.path().string()});
    EXPECT_EQ(later.exit, exitOk);
    EXPECT_EQ(listFolder(out.path()), std::vector<std::string>{"ZZShop.swift"});
    EXPECT_NE(readFile(out / "ZZShop.swift").find("Created by Ann on 2026/12/05."), std::string::npos);
    EXPECT_NE(run({"--defaults"}).out.find("class MXRootModel"), std::string::npos) << "--defaults ignores them";
}

TEST_F(CliFixture, QuietHidesWarningsButNotErrors)
{
    writeFile(settings / "settings.json", "{broken");
    const CliRun quiet = run({"-q"}, R"({"memo":null})");
    EXPECT_EQ(quiet.exit, exitOk);
    EXPECT_EQ(quiet.err, "");
    EXPECT_NE(run({"-q"}, "[").err.find("<stdin>: not JSON: line 1, column 2"), std::string::npos);
}

// As bash runs it, the completion script offers the option table's names and choices, folders, files, no free text.
TEST_F(CliFixture, BashCompletionOffersOptionsAndTheirValues)
{
    writeFile(out / "complete.bash", run({"--completions", "bash"}).out);
    std::filesystem::create_directory(out / "m");
    const std::pair<const char*, const char*> cases[] = {{"-l \"\"", "swift objc"},
                                                         {"--fai", "--faithful"},
                                                         {"-m mj", "mjextension"},
                                                         {"-o \"\"", "m"},
                                                         {"--report \"\"", "complete.bash m offered"},
                                                         {"--author \"\"", ""}};
    for (const auto& [words, offered] : cases) {
        const std::string command =
            "cd " + out.path().string() + " && bash -c 'source complete.bash; COMP_WORDS=(morvex-cli " + words +
            "); COMP_CWORD=$((${#COMP_WORDS[@]}-1)); _morvex_cli; echo \"${COMPREPLY[*]}\"' > offered";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_EQ(readFile(out / "offered"), std::string(offered) + "\n") << words;
    }
}

// SOURCE_DATE_EPOCH dates the headers in UTC, wherever the machine is; beyond the clock's range (about the year
// 2262) it once overflowed a signed multiplication, and is a usage error now.
TEST(CliSourceDateEpoch, DatesInUTCUpToTheClocksEnd)
{
    const char* zone = std::getenv("TZ");
    const std::string saved = zone ? zone : "";
    ::setenv("TZ", "XYZ-14", 1); // fourteen hours ahead of UTC, where noon UTC is already the next day
    ::tzset();
    const std::pair<const char*, const char*> rows[] = {
        {"1764936000", "on 2025/12/05."},
        {"9223372036", "on 2262/04/11."},
        {"9223372037", nullptr},
        {"32503680000", nullptr},
        {"9223372036854775808", nullptr},
        {"-1", nullptr},
        {"1e9", nullptr},
        {"yesterday", nullptr},
    };
    for (const auto& [epoch, date] : rows) {
        SCOPED_TRACE(epoch);
        TempDir settings;
        const CliRun run = runCliWith({"-l", "objc"}, "{}", settings.path(), epoch);
        EXPECT_EQ(run.exit, date ? exitOk : exitUsage) << run.err;
        if (date)
            EXPECT_NE(run.out.find(date), std::string::npos) << run.out;
        else
            EXPECT_NE(run.err.find("SOURCE_DATE_EPOCH must be a whole number of seconds"), std::string::npos);
    }
    zone ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
}

// A mapped input truncated by another program while it is parsed raises SIGBUS; nothing is written by then.
TEST(InputGuardDeathTest, BusErrorWhileReadingEndsAsBadInputAndTheHandlerIsRestored)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const InputGuard guard;
            std::raise(SIGBUS);
        },
        testing::ExitedWithCode(exitBadInput), "the input file changed while it was being read");
    struct sigaction before
    {};
    ::sigaction(SIGBUS, nullptr, &before);
    {
        const InputGuard guard;
    }
    struct sigaction after
    {};
    ::sigaction(SIGBUS, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

// Golden cases: tests/data/golden/NAME holds args, input.json and what is printed (display.txt), written
// (files/) and warned (stderr.txt); without display.txt the input is refused.
class GoldenOutput : public testing::TestWithParam<std::string>
{};

TEST_P(GoldenOutput, PrintsAndWritesTheExpectedCode)
{
    const auto folder = std::filesystem::path(MORVEX_TEST_DATA) / "golden" / GetParam();
    std::vector<std::string> arguments{"--date", "2026/12/05"};
    std::istringstream words(readFile(folder / "args"));
    for (std::string word; words >> std::quoted(word);)
        arguments.push_back(word);
    const std::string input = readFile(folder / "input.json");
    const std::string expectedErr =
        std::filesystem::exists(folder / "stderr.txt") ? readFile(folder / "stderr.txt") : "";
    TempDir settings;
    TempDir out;
    const CliRun printed = runCliWith(arguments, input, settings.path());
    arguments.insert(arguments.end(), {"-o", out.path().string()});
    const CliRun written = runCliWith(arguments, input, settings.path());
    EXPECT_EQ(written.out, "");
    if (!std::filesystem::exists(folder / "display.txt")) {
        EXPECT_EQ(printed.exit, exitBadInput);
        EXPECT_EQ(written.exit, exitBadInput);
        EXPECT_EQ(printed.out, "");
        EXPECT_EQ(printed.err, expectedErr);
        EXPECT_TRUE(listFolder(out.path()).empty()) << "nothing is written for bad input";
        return;
    }
    EXPECT_EQ(printed.exit, exitOk) << printed.err;
    EXPECT_EQ(written.exit, exitOk) << written.err;
    EXPECT_EQ(printed.out, readFile(folder / "display.txt"));
    // Findings come on top of the expected warnings, each of which must still be said.
    std::istringstream lines(expectedErr);
    for (std::string line; std::getline(lines, line);)
        EXPECT_NE(printed.err.find(line.substr(line.find("warning: ") + 9)), std::string::npos) << line;
    const auto expected = listFolder(folder / "files");
    ASSERT_EQ(listFolder(out.path()), expected);
    for (const auto& name : expected)
        EXPECT_EQ(readFile(out / name), readFile(folder / "files" / name)) << name;
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenOutput,
                         testing::ValuesIn(listFolder(std::filesystem::path(MORVEX_TEST_DATA) / "golden")),
                         [](const testing::TestParamInfo<std::string>& row) {
                             std::string name = row.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace morvex
