// Remembered settings and the log under damage and contention: never a corrupt store, the defaults used with a
// clear warning, and a log that cannot be written is reported once while the program goes on.

#include "CliProcess.h"

#include "morvex/Console.h"
#include "morvex/KeyValueStore.h"
#include "morvex/MXLog.h"
#include "morvex/SettingValues.h"

#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace morvex {
namespace {

using namespace morvex::test;

struct StoredState : testing::Test
{
    TempDir dir;
    std::filesystem::path folder = dir / "config" / "morvex";
    std::filesystem::path file = folder / "settings.json";

    void SetUp() override { std::filesystem::create_directories(folder); }
};

struct CorruptCase
{
    const char* name;
    std::string content;
};

class CorruptSettings : public StoredState, public testing::WithParamInterface<CorruptCase>
{};

TEST_P(CorruptSettings, WarnsNamingTheFileAndUsesTheDefaults)
{
    writeFile(file, GetParam().content);
    const Process run = runCliProcess(dir, {"--date", "2026/12/05", "-l", "objc"}, R"({"a":1})");
    EXPECT_EQ(run.exit, 0);
    EXPECT_EQ(run.err.rfind("morvex-cli: warning: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(file.string()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("; using the default "), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("@interface MXRootModel : NSObject"), std::string::npos);
    EXPECT_NE(run.out.find("Created by Lintrel on 2026/12/05."), std::string::npos);
    EXPECT_EQ(readFile(file), GetParam().content) << "reading never rewrites the store";
}

INSTANTIATE_TEST_SUITE_P(
    Contents, CorruptSettings,
    testing::Values(CorruptCase{"Truncated", "{\"SettingSave\": \"Ann,Co"},
                    CorruptCase{"BinaryGarbage", std::string("\0\xFF\xFE\x01garbage", 11)},
                    CorruptCase{"InvalidUTF8", "{\"SettingSave\": \"Ann\xFF,Co,P,N\"}"},
                    CorruptCase{"NotAnObject", "[\"Ann,Co,P,N\"]"},
                    CorruptCase{"ValueNotText", "{\"SettingSave\": [\"Ann\"]}"},
                    CorruptCase{"Megabytes", std::string(4 << 20, '{')},
                    CorruptCase{"AuthorEndingTheComment", R"({"SettingSave": "A\n#import x,Co,MX,RootModel"})"},
                    CorruptCase{"PrefixThatIsCode", R"({"SettingSave": "Lintrel,Co,M;X,RootModel"})"}),
    [](const testing::TestParamInfo<CorruptCase>& row) { return row.param.name; });

// Regression: remembering over a store that could not be read (one starting with a byte-order mark, say)
// overwrote it, losing its other keys.
TEST_F(StoredState, UnreadableStoreIsMovedAsideBeforeRemembering)
{
    writeFile(file, "{\"SettingSave\": ");
    const Process run =
        runCliProcess(dir, {"--remember", "--author", "Ann", "--company", "Co", "-p", "P", "-n", "n"}, R"({"a":1})");
    EXPECT_EQ(run.exit, 0) << run.err;
    std::string problem;
    EXPECT_EQ(KeyValueStore(file).string("SettingSave", &problem), "Ann,Co,P,n");
    EXPECT_EQ(problem, "");
    const auto names = listFolder(folder);
    const auto aside = std::find_if(names.begin(), names.end(), [](const std::string& name) {
        return name.starts_with("settings.json.unreadable-");
    });
    ASSERT_NE(aside, names.end());
    EXPECT_EQ(readFile(folder / *aside), "{\"SettingSave\": ");
    EXPECT_NE(run.err.find("moved to " + (folder / *aside).string()), std::string::npos) << run.err;
}

TEST_F(StoredState, ByteOrderMarkIsRead)
{
    writeFile(file, "\xEF\xBB\xBF{\"SettingSave\": \"Ann,Co,ZZ,shop\"}");
    const Process run = runCliProcess(dir, {}, R"({"a":1})");
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("class ZZShop: Codable"), std::string::npos);
}

// Regression: a program holding the lock made every --remember wait without end and without a word.
TEST_F(StoredState, LockHeldElsewhereIsWaitedForBrieflyThenReported)
{
    const int lock = ::open((folder / "settings.json.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    const Process run = runCliProcess(dir, {"--remember", "--author", "Ann"}, R"({"a":1})");
    ::close(lock);
    EXPECT_EQ(run.exit, 3);
    EXPECT_NE(run.err.find("kept them locked for 5 seconds"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("class MXRootModel: Codable"), std::string::npos) << "converted all the same";
    EXPECT_FALSE(std::filesystem::exists(file));
}

// Regression: a settings path that is a named pipe blocked the program for ever, waiting for a writer.
TEST_F(StoredState, FolderOrNamedPipeWhereTheFileShouldBeWarnsAndDoesNotHang)
{
    for (const bool pipe : {false, true}) {
        std::filesystem::remove(file);
        ASSERT_TRUE(pipe ? ::mkfifo(file.c_str(), 0600) == 0 : std::filesystem::create_directory(file));
        const Process run = runCliProcess(dir, {}, R"({"a":1})");
        ASSERT_NE(run.exit, 128 + SIGALRM) << "hung until the watchdog killed it";
        EXPECT_EQ(run.exit, 0);
        EXPECT_NE(run.err.find("warning: cannot read " + file.string()), std::string::npos) << run.err;
        EXPECT_NE(run.out.find("class MXRootModel: Codable"), std::string::npos);
    }
}

TEST_F(StoredState, ReadOnlyConfigurationFolderRefusesToRememberButConverts)
{
    ASSERT_FALSE(KeyValueStore(file).set("Ann,Co,ZZ,shop", "SettingSave"));
    const std::string before = readFile(file);
    std::filesystem::create_directory(dir / "out");
    const Process run =
        runCliProcess(dir, {"--remember", "--author", "Bob", "--date", "2026/12/05", "-o", (dir / "out").string()},
                      R"({"a":1})", readOnlyFolder(folder));
    if (run.exit == setupImpossible)
        GTEST_SKIP() << "cannot make a read-only folder here";
    EXPECT_EQ(run.exit, 3);
    const std::string report = "morvex-cli: cannot save the settings to " + file.string() + ": ";
    ASSERT_EQ(run.err.rfind(report, 0), 0u) << run.err;
    const std::string reason = run.err.substr(report.size(), run.err.find('\n') - report.size());
    EXPECT_TRUE(reason == "Read-only file system" || reason == "Permission denied") << reason;
    EXPECT_EQ(readFile(file), before) << "the store is untouched";
    EXPECT_NE(readFile(dir / "out" / "ZZShop.swift").find("Created by Bob on 2026/12/05."), std::string::npos)
        << "the conversion itself still ran, with the values given";
    for (const auto& name : listFolder(folder))
        EXPECT_EQ(name.rfind(".morvex-", 0), std::string::npos) << "left behind: " << name;
}

TEST_F(StoredState, ReadOnlyConfigurationFolderWithoutAStoreGivesDefaultsSilently)
{
    const Process run = runCliProcess(dir, {}, R"({"a":1})", readOnlyFolder(folder));
    if (run.exit == setupImpossible)
        GTEST_SKIP() << "cannot make a read-only folder here";
    EXPECT_EQ(run.exit, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("class MXRootModel: Codable"), std::string::npos);
}

// Starts `count` children that each run `body(i)` once all of them have been forked; returns their exit codes.
std::vector<int> raceChildren(int count, const std::function<int(int)>& body)
{
    int gate[2];
    if (::pipe(gate) != 0)
        return {};
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(gate[1]);
            char byte;
            while (::read(gate[0], &byte, 1) < 0 && errno == EINTR) {
            }
            ::_exit(body(i));
        }
        children.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]); // opens the gate: every read above returns at once
    std::vector<int> codes;
    for (pid_t child : children) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }
    return codes;
}

TEST_F(StoredState, ProcessesSavingAtOnceLoseNoKeyAndNeverCorruptTheStore)
{
    constexpr int processes = 6;
    constexpr int savesEach = 30;
    const auto codes = raceChildren(processes, [&](int i) {
        KeyValueStore store(file);
        for (int j = 0; j < savesEach; ++j) {
            if (store.set(std::to_string(j), "p" + std::to_string(i) + "-" + std::to_string(j)))
                return 1;
        }
        return 0;
    });
    EXPECT_EQ(codes, std::vector<int>(processes, 0));
    const KeyValueStore store(file);
    std::string problem;
    for (int i = 0; i < processes; ++i) {
        for (int j = 0; j < savesEach; ++j)
            ASSERT_EQ(store.string("p" + std::to_string(i) + "-" + std::to_string(j), &problem), std::to_string(j))
                << "lost by a concurrent save " << problem;
    }
    for (const auto& name : listFolder(folder))
        EXPECT_TRUE(name == "settings.json" || name == "settings.json.lock") << "left behind: " << name;
}

// The log's file cannot be written: the failure is shown once on the output, the log never re-enters itself,
// every entry still reaches the output, and the earlier log is left as it was.
TEST(UnwritableLog, ReportedOnceWithoutRecursionAndTheProgramGoesOn)
{
    for (const bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "full disk" : "read-only folder");
        TempDir home;
        const auto logFolder = home / "home";
        std::filesystem::create_directory(logFolder);
        writeFile(logFolder / "Morvex.txt", "earlier\n");
        const auto echoed = home / "echoed";
        const ChildSetup setup = fullDisk ? fileSizeLimit(16384) : readOnlyFolder(logFolder);
        const int code = inChild([&] {
            if (const int failed = setup())
                return failed;
            std::ostringstream output;
            Console console(logFolder / "Morvex.txt", output);
            const std::string big[] = {std::string(65536, 'x')};
            const std::string small[] = {"after the failure"};
            logEntry(console, big, "a.cpp", "first()", 1);
            logEntry(console, small, "a.cpp", "second()", 2);
            logEntry(console, small, "a.cpp", "third()", 3);
            struct rlimit limit
            {};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = limit.rlim_max; // lifted again so that the echo can be handed back
            ::setrlimit(RLIMIT_FSIZE, &limit);
            writeFile(echoed, output.str());
            return 0;
        });
        if (code == setupImpossible)
            continue; // a read-only folder needs root and mount namespaces
        ASSERT_EQ(code, 0);
        const std::string text = readFile(echoed);
        const std::string report =
            " in Console save(_:) [Line 53]:\ncannot write " + (logFolder / "Morvex.txt").string();
        ASSERT_NE(text.find(report), std::string::npos) << text.substr(0, 400);
        EXPECT_EQ(text.find(report), text.rfind(report)) << "reported once";
        EXPECT_NE(text.find("third() [Line 3]:\nafter the failure\n\n"), std::string::npos) << "the program went on";
        EXPECT_EQ(readFile(logFolder / "Morvex.txt"), "earlier\n");
        EXPECT_EQ(listFolder(logFolder), std::vector<std::string>{"Morvex.txt"}) << "nothing half-written";
    }
}

} // namespace
} // namespace morvex
