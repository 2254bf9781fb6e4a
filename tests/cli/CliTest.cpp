#include "CliTestSupport.h"

#include "morvex/KeyValueStore.h"

#include "InputGuard.h"

#include <csignal>

#include <gtest/gtest.h>
#include <unistd.h>

namespace morvex {
namespace {

using namespace morvex::test;

struct CliFixture : testing::Test
{
    TempDir settings;
    TempDir out;

    CliRun run(std::vector<std::string> arguments, const std::string& input = R"({"id":1})")
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
    arguments.push_back("-o");
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
                    UsageCase{"NoSuchDay", {"--date", "2026/02/31"}, "YYYY/MM/DD"},
                    UsageCase{"NotALeapYear", {"--date", "2025/02/29"}, "YYYY/MM/DD"}),
    [](const testing::TestParamInfo<UsageCase>& row) { return row.param.name; });

TEST_F(CliFixture, CommaValueIsUsedWhenNotRemembered)
{
    const CliRun result = run({"--company", "Acme, Inc.", "--date", "2026/12/05", "-o", out.path().string()});
    EXPECT_EQ(result.exit, exitOk) << result.err;
    EXPECT_NE(readFile(out / "MXRootModel.swift").find("2026\u5E74 Acme, Inc.. All rights reserved."),
              std::string::npos);
}

TEST_F(CliFixture, NotJSONExitsOneWithPlaceAndWritesNothing)
{
    const CliRun result = run({"-o", out.path().string()}, "{\n  \"a\": 1,\n  \"b\": tru\n}");
    EXPECT_EQ(result.exit, exitBadInput);
    EXPECT_EQ(result.err, "morvex-cli: <stdin>: not JSON: line 3, column 8: unexpected 't', expected a value\n");
    EXPECT_TRUE(listFolder(out.path()).empty());
}

TEST_F(CliFixture, EmptyInputExitsOne)
{
    const CliRun result = run({}, "");
    EXPECT_EQ(result.exit, exitBadInput);
    EXPECT_NE(result.err.find("the input is empty"), std::string::npos);
}

TEST_F(CliFixture, UnreadableFileExitsOneNamingIt)
{
    const auto missing = (out / "nope.json").string();
    const CliRun result = run({missing});
    EXPECT_EQ(result.exit, exitBadInput);
    EXPECT_NE(result.err.find("cannot read " + missing), std::string::npos) << result.err;
    EXPECT_EQ(run({out.path().string()}).exit, exitBadInput) << "a folder is not a JSON file";
}

TEST_F(CliFixture, ReadsNamedFileAndDashMeansStandardInput)
{
    writeFile(out / "in.json", R"({"fromFile":1})");
    EXPECT_NE(run({(out / "in.json").string()}).out.find("var fromFile: Int"), std::string::npos);
    EXPECT_NE(run({"-"}, R"({"fromStdin":1})").out.find("var fromStdin: Int"), std::string::npos);
}

TEST_F(CliFixture, FailedWritesExitThreeNamingEachFileAndWriteTheRest)
{
    std::filesystem::create_directory(out / "MXA.swift");
    const CliRun result = run({"-o", out.path().string()}, R"({"a":{"x":1},"b":{"y":1}})");
    EXPECT_EQ(result.exit, exitWriteFailed);
    EXPECT_NE(result.err.find("cannot write " + (out / "MXA.swift").string() + ": "), std::string::npos) << result.err;
    EXPECT_TRUE(std::filesystem::is_regular_file(out / "MXRootModel.swift"));
    EXPECT_TRUE(std::filesystem::is_regular_file(out / "MXB.swift"));
    EXPECT_EQ(result.out, "");
}

// --check writes nothing (not even a missing folder), ignores only the header's date, and the exit codes of
// check, --strict and a report that cannot be written combine by severity.
TEST_F(CliFixture, CheckStrictAndReportExitCodes)
{
    const std::string json = R"({"a":{"x":1},"memo":null})";
    const std::string folder = (out / "models").string();
    struct Step
    {
        std::vector<std::string> arguments;
        int exit;
    };
    const Step steps[] = {
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
        EXPECT_EQ(run(steps[i].arguments, json).exit, steps[i].exit);
        if (i == 0) {
            EXPECT_FALSE(std::filesystem::exists(folder)) << "a check creates no folder";
        }
    }
    EXPECT_EQ(listFolder(folder), (std::vector<std::string>{"MXA.swift", "MXRootModel.swift"}));
}

TEST_F(CliFixture, RememberStoresFourValuesAndLaterRunsUseThem)
{
    EXPECT_EQ(run({"--remember", "--author", "Ann", "--company", "Co", "-p", "ZZ", "-n", "shop"}).exit, exitOk);
    EXPECT_EQ(stored(), "Ann,Co,ZZ,shop");
    const CliRun later = run({"--date", "2026/12/05", "-o", out.path().string()});
    EXPECT_EQ(later.exit, exitOk);
    EXPECT_EQ(listFolder(out.path()), std::vector<std::string>{"ZZShop.swift"});
    EXPECT_NE(readFile(out / "ZZShop.swift").find("Created by Ann on 2026/12/05."), std::string::npos);
    EXPECT_NE(run({"--defaults"}).out.find("class MXRootModel"), std::string::npos) << "--defaults ignores them";
}

TEST_F(CliFixture, WithoutRememberNothingIsStored)
{
    EXPECT_EQ(run({"--author", "Ann"}).exit, exitOk);
    EXPECT_FALSE(std::filesystem::exists(settings / "settings.json"));
}

TEST_F(CliFixture, CorruptSettingsWarnAndUseDefaults)
{
    writeFile(settings / "settings.json", "{broken");
    const CliRun result = run({});
    EXPECT_EQ(result.exit, exitOk);
    EXPECT_NE(result.err.find("warning:"), std::string::npos);
    EXPECT_NE(result.out.find("class MXRootModel: Codable"), std::string::npos);
    const CliRun quiet = run({"-q"}, R"({"memo":null})");
    EXPECT_EQ(quiet.exit, exitOk);
    EXPECT_EQ(quiet.err, "") << "--quiet prints errors only";
}

// The completion script offers what the option table holds, as bash runs it.
TEST_F(CliFixture, BashCompletionOffersOptionsAndTheirValues)
{
    writeFile(out / "complete.bash", run({"--completions", "bash"}).out);
    const struct
    {
        const char* words;
        const char* offered;
    } cases[] = {
        {"morvex-cli -l \"\"", "swift objc"}, {"morvex-cli --fai", "--faithful"}, {"morvex-cli -m mj", "mjextension"}};
    for (const auto& row : cases) {
        const std::string command =
            "bash -c 'source " + (out / "complete.bash").string() + "; COMP_WORDS=(" + row.words +
            "); COMP_CWORD=$((${#COMP_WORDS[@]}-1)); _morvex_cli; echo \"${COMPREPLY[*]}\"' > " +
            (out / "offered").string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_EQ(readFile(out / "offered"), std::string(row.offered) + "\n") << row.words;
    }
}

TEST_F(CliFixture, ObjectiveCIgnoresKindAndDefaultsToNSObject)
{
    const CliRun result = run({"-l", "objc", "-k", "struct"});
    EXPECT_EQ(result.exit, exitOk);
    EXPECT_NE(result.out.find("@interface MXRootModel : NSObject\n"), std::string::npos);
}

TEST_F(CliFixture, BaseListsAndLeapDayAreTaken)
{
    EXPECT_NE(run({"-b", "Codable & Equatable,Hashable"}).out.find("class MXRootModel: Codable & Equatable,Hashable {"),
              std::string::npos);
    EXPECT_NE(run({"-l", "objc", "-b", "NSObject<NSCoding, NSCopying>"})
                  .out.find("@interface MXRootModel : NSObject<NSCoding, NSCopying>\n"),
              std::string::npos);
    EXPECT_NE(run({"-l", "objc", "--date", "2024/02/29"}).out.find("on 2024/02/29."), std::string::npos);
}

TEST_F(CliFixture, SourceDateEpochSetsHeaderDate)
{
    std::istringstream in(R"({"a":1})");
    std::ostringstream output;
    std::ostringstream errors;
    CliEnvironment environment;
    environment.settingsFile = settings / "settings.json";
    environment.sourceDateEpoch = "1764936000"; // 2025-12-05 12:00 UTC
    EXPECT_EQ(runCli({"-l", "objc"}, in, output, errors, environment), exitOk);
    EXPECT_NE(output.str().find("Created by Lintrel on 2025/12/05."), std::string::npos);
    EXPECT_NE(output.str().find("Copyright \u00A9 2025\u5E74"), std::string::npos);

    environment.sourceDateEpoch = "yesterday";
    std::istringstream again(R"({"a":1})");
    EXPECT_EQ(runCli({}, again, output, errors, environment), exitUsage);
}

TEST_F(CliFixture, HelpAndVersionExitZero)
{
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.exit, exitOk);
    EXPECT_NE(help.out.find("--mapping"), std::string::npos);
    const CliRun version = run({"--version"});
    EXPECT_EQ(version.exit, exitOk);
    EXPECT_NE(version.out.find("morvex-cli "), std::string::npos);
}

} // namespace
} // namespace morvex

namespace morvex {
namespace {

// A mapped input truncated by another program while it is parsed raises SIGBUS; nothing is written by then.
TEST(InputGuardDeathTest, BusErrorWhileReadingEndsAsBadInput)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const InputGuard guard;
            std::raise(SIGBUS);
        },
        testing::ExitedWithCode(exitBadInput), "the input file changed while it was being read");
}

TEST(InputGuardDeathTest, RestoresThePreviousHandler)
{
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

} // namespace
} // namespace morvex
