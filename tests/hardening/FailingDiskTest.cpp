// Failing disks under the command line: each problem named, exit 3, nothing half-written, the rest written.

#include "CliProcess.h"

#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <sys/file.h>
#include <sys/resource.h>

namespace morvex {
namespace {

using namespace morvex::test;

const std::vector<std::string> dated = {"--date", "2026/12/05"};

std::vector<std::string> with(std::vector<std::string> arguments, const std::vector<std::string>& more)
{
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

std::string membersOf(std::size_t count)
{
    std::string members;
    for (std::size_t i = 0; i < count; ++i)
        members += (i ? ",\"member" : "\"member") + std::to_string(i) + "\":" + std::to_string(i);
    return "{" + members + "}";
}

bool isTemporary(const std::string& name)
{
    return name.rfind(".morvex-", 0) == 0;
}

struct FailingDisk : testing::Test
{
    TempDir dir;
    std::filesystem::path out = dir / "out";

    void SetUp() override { std::filesystem::create_directory(out); }

    // The files a healthy folder receives for the same arguments.
    std::map<std::string, std::string> reference(const std::vector<std::string>& arguments, const std::string& input)
    {
        TempDir healthy;
        std::filesystem::create_directory(healthy / "out");
        const Process run = runCliProcess(healthy, with(arguments, {"-o", (healthy / "out").string()}), input);
        EXPECT_EQ(run.exit, 0) << run.err;
        std::map<std::string, std::string> files;
        for (const auto& name : listFolder(healthy / "out"))
            files[name] = readFile(healthy / "out" / name);
        return files;
    }
};

// Two types that each fill most of a small disk, between small ones that fit.
const std::string bigAndSmall = "{\"big1\":" + membersOf(2000) + ",\"small1\":{\"a\":1},\"big2\":" + membersOf(2000) +
                                ",\"small2\":{\"b\":2},\"big3\":" + membersOf(2000) + ",\"small3\":{\"c\":3}}";

struct FullDiskCase
{
    const char* name;
    std::function<ChildSetup(const std::filesystem::path& folder)> setup;
    bool mounted; // the folder is a file system of its own that ends with the child
    const char* reason;
};

class FullDisk : public FailingDisk, public testing::WithParamInterface<FullDiskCase>
{};

TEST_P(FullDisk, NamesEveryFileThatDidNotFitWritesTheRestAndLeavesNothingHalfWritten)
{
    const auto expected = reference(dated, bigAndSmall);
    ASSERT_EQ(expected.size(), 7u);
    const auto snapshot = dir / "snapshot";
    std::filesystem::create_directory(snapshot);
    const Process run = runCliProcess(dir, with(dated, {"-o", out.string()}), bigAndSmall, GetParam().setup(out), [&] {
        if (GetParam().mounted)
            std::filesystem::copy(out, snapshot, std::filesystem::copy_options::recursive);
    });
    if (run.exit == setupImpossible)
        GTEST_SKIP() << GetParam().name << " cannot be set up here (needs root and mount namespaces)";
    const auto written = GetParam().mounted ? snapshot : out;

    EXPECT_EQ(run.exit, 3) << run.err;
    EXPECT_EQ(run.out, "");
    std::size_t failed = 0;
    for (const auto& [name, text] : expected) {
        const std::string report = "morvex-cli: cannot write " + (out / name).string() + ": " + GetParam().reason;
        if (std::filesystem::exists(written / name)) {
            EXPECT_EQ(readFile(written / name), text) << name << " is complete";
            EXPECT_EQ(run.err.find(report), std::string::npos) << name << " was written, yet reported";
        } else {
            ++failed;
            EXPECT_NE(run.err.find(report), std::string::npos) << name << " is missing but not named:\n" << run.err;
        }
    }
    EXPECT_GE(failed, 1u);
    for (const char* small : {"MXRootModel.swift", "MXSmall1.swift", "MXSmall2.swift", "MXSmall3.swift"})
        EXPECT_TRUE(std::filesystem::exists(written / small)) << small << " fits and must be written";
    for (const auto& name : listFolder(written)) {
        EXPECT_FALSE(isTemporary(name)) << "left behind: " << name;
        EXPECT_TRUE(expected.count(name)) << "unexpected: " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FullDisk,
    testing::Values(FullDiskCase{"SmallFileSystem",
                                 [](const std::filesystem::path& folder) { return smallDisk(folder, 65536); }, true,
                                 "No space left on device"},
                    FullDiskCase{"FileSizeLimit", [](const std::filesystem::path&) { return fileSizeLimit(16384); },
                                 false, "File too large"}),
    [](const testing::TestParamInfo<FullDiskCase>& row) { return row.param.name; });

TEST_F(FailingDisk, ReadOnlyFolderNamesEachFileAndKeepsWhatWasThere)
{
    writeFile(out / "MXRootModel.swift", "earlier run\n");
    writeFile(out / "notes.txt", "mine\n");
    const Process run = runCliProcess(dir, with(dated, {"-o", out.string()}), R"({"a":{"b":1}})", readOnlyFolder(out));
    if (run.exit == setupImpossible)
        GTEST_SKIP() << "cannot make a read-only folder here";
    EXPECT_EQ(run.exit, 3) << run.err;
    for (const char* name : {"MXRootModel.swift", "MXA.swift"}) {
        const std::string report = "morvex-cli: cannot write " + (out / name).string() + ": ";
        const auto at = run.err.find(report);
        ASSERT_NE(at, std::string::npos) << run.err;
        const std::string reason = run.err.substr(at + report.size(), run.err.find('\n', at) - at - report.size());
        EXPECT_TRUE(reason == "Read-only file system" || reason == "Permission denied") << reason;
    }
    EXPECT_EQ(readFile(out / "MXRootModel.swift"), "earlier run\n");
    EXPECT_EQ(listFolder(out), (std::vector<std::string>{"MXRootModel.swift", "notes.txt"}));
}

// Regression: a missing folder gave one error line per file (58,806 lines for one cause).
TEST_F(FailingDisk, MissingFoldersAreCreatedAndOneThatCannotBeIsOneLine)
{
    const auto missing = dir / "missing" / "deeper";
    EXPECT_EQ(runCliProcess(dir, with(dated, {"-o", missing.string()}), R"({"a":{"b":1}})").exit, 0);
    EXPECT_EQ(listFolder(missing), (std::vector<std::string>{"MXA.swift", "MXRootModel.swift"}));

    writeFile(dir / "plain", "not a folder\n");
    for (const auto& folder : {dir / "plain", dir / "plain" / "below"}) {
        const Process run = runCliProcess(dir, with(dated, {"-o", folder.string()}), R"({"a":{"b":1}})");
        EXPECT_EQ(run.exit, 3);
        EXPECT_EQ(run.err.substr(run.err.find("; ")), "; 2 files were not written\n") << run.err;
        EXPECT_NE(run.err.find(folder.string()), std::string::npos) << run.err;
    }
    EXPECT_EQ(readFile(dir / "plain"), "not a folder\n");
}

TEST_F(FailingDisk, DirectoryWhereAFileShouldGoFailsThatFileOnly)
{
    const std::vector<std::string> arguments = with(dated, {"-l", "objc"});
    const std::string input = R"({"a":{"x":1},"b":[{"y":2}]})";
    const auto expected = reference(arguments, input);
    ASSERT_EQ(expected.size(), 6u);
    std::filesystem::create_directory(out / "MXA.h");
    writeFile(out / "MXA.h" / "inside", "kept\n");

    const Process run = runCliProcess(dir, with(arguments, {"-o", out.string()}), input);
    EXPECT_EQ(run.exit, 3);
    EXPECT_EQ(run.err, "morvex-cli: cannot write " + (out / "MXA.h").string() + ": Is a directory\n");
    EXPECT_EQ(readFile(out / "MXA.h" / "inside"), "kept\n");
    for (const auto& [name, text] : expected) {
        if (name != "MXA.h") {
            EXPECT_EQ(readFile(out / name), text) << name;
        }
    }
    EXPECT_EQ(listFolder(out).size(), expected.size());
}

// The root's code file is written in pieces as its text is made: one that cannot be finished is named, and the
// file it would have replaced stays.
TEST_F(FailingDisk, RootOverTheFileSizeLimitIsNamedAndTheEarlierOneStays)
{
    writeFile(out / "MXRootModel.h", "earlier run\n");
    const std::string input = "{\"small\":{\"a\":1}," + membersOf(2000).substr(1);
    const Process run =
        runCliProcess(dir, with(dated, {"-l", "objc", "-o", out.string()}), input, fileSizeLimit(16384));
    EXPECT_EQ(run.exit, 3) << run.err;
    EXPECT_NE(run.err.find("cannot write " + (out / "MXRootModel.h").string() + ": File too large"), std::string::npos)
        << run.err;
    EXPECT_EQ(readFile(out / "MXRootModel.h"), "earlier run\n");
    EXPECT_EQ(listFolder(out), (std::vector<std::string>{"MXRootModel.h", "MXRootModel.m", "MXSmall.h", "MXSmall.m"}));
}

// Regression: printing the code to a full disk lost it, yet the command line reported success.
TEST_F(FailingDisk, CodePrintedToAFullDeviceIsAFailedWrite)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    const Process run = runCliProcess(dir, dated, R"({"a":{"b":1}})", {}, {}, "/dev/full");
    EXPECT_EQ(run.exit, 3);
    EXPECT_EQ(run.err, "morvex-cli: cannot write the code to standard output\n");
}

bool holdsTemporaryFile(const std::filesystem::path& folder)
{
    const auto names = listFolder(folder);
    return std::any_of(names.begin(), names.end(),
                       [](const std::string& name) { return name.starts_with(".morvex-"); });
}

// Regression: Ctrl+C while writing left .morvex-*.tmp files in the output folder (4 of 12 tries).
TEST_F(FailingDisk, InterruptWhileWritingLeavesNoTemporaryFile)
{
    std::string text = "{";
    for (int i = 0; i < 30'000; ++i)
        text += (i ? ",\"t" : "\"t") + std::to_string(i) + "\":{\"v\":1}";
    text += "}";
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const auto folder = out / std::to_string(signal);
        std::filesystem::create_directories(folder);
        // The command line gets its own process group; a watcher signals the group once files appear.
        const Process run = runCliProcess(dir, {"-l", "objc", "-o", folder.string()}, text, [&] {
            ::setpgid(0, 0);
            ::signal(signal, SIG_IGN);
            if (::fork() == 0) {
                while (listFolder(folder).size() < 50)
                    ::usleep(1000);
                ::kill(-::getpgid(0), signal);
                ::_exit(0);
            }
            return 0;
        });
        EXPECT_EQ(run.exit, 128 + signal);
        EXPECT_FALSE(holdsTemporaryFile(folder));
    }
}

TEST_F(FailingDisk, TemporaryFilesOfKilledRunsGoButHeldOnesStay)
{
    std::filesystem::create_directory(out);
    writeFile(out / ".morvex-1-2-3.tmp", "left by a killed run");
    writeFile(out / ".morvex-4-5-6.tmp", "being written");
    const int held = ::open((out / ".morvex-4-5-6.tmp").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_EQ(runCliProcess(dir, with(dated, {"-o", out.string()}), R"({"a":1})").exit, 0);
    ::close(held);
    EXPECT_EQ(listFolder(out), (std::vector<std::string>{".morvex-4-5-6.tmp", "MXRootModel.swift"}));
}

} // namespace
} // namespace morvex
