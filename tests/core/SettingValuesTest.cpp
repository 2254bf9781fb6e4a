#include "morvex/SettingValues.h"
#include "morvex/KeyValueStore.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace morvex {
namespace {

using test::TempDir;

const std::vector<std::string> defaults{"Lintrel", "Morvex \u79D1\u6280\u6709\u9650\u516C\u53F8", "MX", "RootModel"};

TEST(SettingValuesLoad, NothingStoredGivesDefaults)
{
    TempDir dir;
    KeyValueStore store(dir / "morvex/settings.json");
    EXPECT_EQ(loadSettingValues(store), defaults);
    EXPECT_FALSE(std::filesystem::exists(store.file())) << "loading never writes";
}

TEST(SettingValuesLoad, EmptyStoredStringBehavesLikeNothing)
{
    TempDir dir;
    KeyValueStore store(dir / "settings.json");
    ASSERT_FALSE(store.set("", "SettingSave"));
    EXPECT_EQ(loadSettingValues(store), defaults);
}

TEST(SettingValuesSave, StoresTheFourValuesCommaJoinedAndLoadsThemBack)
{
    TempDir dir;
    KeyValueStore store(dir / "a/b/settings.json");
    const std::vector<std::string> values{"\u5F20\u4E09", "Acme \u79D1\u6280", "ZZ", "shop"};
    ASSERT_EQ(saveSettingValues(values, store), std::nullopt);
    EXPECT_EQ(store.string("SettingSave"), "\u5F20\u4E09,Acme \u79D1\u6280,ZZ,shop");
    EXPECT_EQ(loadSettingValues(store), values);
}

TEST(SettingValuesSave, RefusesCommasInsteadOfShiftingValues)
{
    TempDir dir;
    KeyValueStore store(dir / "settings.json");
    ASSERT_EQ(saveSettingValues({"Ann", "Old Co", "MX", "Root"}, store), std::nullopt);
    auto problem = saveSettingValues({"Ann", "Acme, Inc.", "MX", "Root"}, store);
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find("Acme, Inc."), std::string::npos);
    EXPECT_EQ(loadSettingValues(store), (std::vector<std::string>{"Ann", "Old Co", "MX", "Root"}));
}

TEST(SettingValuesLoad, ShortStoredStringTakesDefaultsForMissingPositions)
{
    TempDir dir;
    KeyValueStore store(dir / "settings.json");
    ASSERT_FALSE(store.set("Ann,,P", "SettingSave"));
    EXPECT_EQ(loadSettingValues(store), (std::vector<std::string>{"Ann", "", "P", "RootModel"}));
}

TEST(SettingValuesLoad, CorruptOrUnreadableStoreGivesDefaultsAndSaysWhy)
{
    TempDir dir;
    const auto file = dir / "settings.json";
    for (const std::string& content : {std::string("{\"SettingSave\": \"a,b"), std::string("\x00\xFF", 2),
                                       std::string("[1,2]"), std::string("{\"SettingSave\": 5}")}) {
        test::writeFile(file, content);
        std::string problem;
        EXPECT_EQ(loadSettingValues(KeyValueStore(file), &problem), defaults);
        EXPECT_NE(problem.find(file.string()), std::string::npos) << problem;
    }
    std::filesystem::remove(file);
    std::filesystem::create_directory(file); // a folder where the file should be
    std::string problem;
    EXPECT_EQ(loadSettingValues(KeyValueStore(file), &problem), defaults);
    EXPECT_FALSE(problem.empty());
}

TEST(KeyValueStoreSet, OtherKeysSurviveAndSpecialCharactersRoundTrip)
{
    TempDir dir;
    KeyValueStore store(dir / "settings.json");
    const std::string tricky = "quote \" backslash \\ newline \n tab \t nul " + std::string(1, '\0') + " \u00E9";
    ASSERT_FALSE(store.set(tricky, "other"));
    ASSERT_FALSE(store.set("a,b,c,d", "SettingSave"));
    EXPECT_EQ(store.string("other"), tricky);
    EXPECT_EQ(store.string("SettingSave"), "a,b,c,d");
    EXPECT_EQ(store.string("missing"), "");
}

TEST(KeyValueStoreSet, RefusesInvalidUTF8AndKeepsTheFile)
{
    TempDir dir;
    KeyValueStore store(dir / "settings.json");
    ASSERT_FALSE(store.set("good", "k"));
    EXPECT_TRUE(store.set("bad \xFF", "k"));
    EXPECT_EQ(store.string("k"), "good");
}

TEST(KeyValueStoreSet, ReadOnlyFolderFailsCleanly)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    const auto folder = dir / "config";
    std::filesystem::create_directory(folder);
    KeyValueStore store(folder / "settings.json");
    ASSERT_FALSE(store.set("a,b,c,d", "SettingSave"));
    ::chmod(folder.c_str(), 0500);
    EXPECT_TRUE(store.set("e,f,g,h", "SettingSave"));
    EXPECT_EQ(store.string("SettingSave"), "a,b,c,d");
}

TEST(KeyValueStoreSet, ConcurrentWritersNeverCorruptTheFile)
{
    TempDir dir;
    const auto file = dir / "settings.json";
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            KeyValueStore store(file);
            for (int i = 0; i < 25; ++i)
                store.set(std::to_string(i), "writer" + std::to_string(w));
        });
    }
    for (auto& writer : writers)
        writer.join();
    KeyValueStore store(file);
    std::string problem;
    for (int w = 0; w < 4; ++w)
        EXPECT_EQ(store.string("writer" + std::to_string(w), &problem), "24") << problem;
}

TEST(KeyValueStoreLocation, FollowsXDGConfigHome)
{
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(KeyValueStore::defaultLocation(), std::filesystem::path("/somewhere/config/morvex/settings.json"));
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(KeyValueStore::defaultLocation().filename(), "settings.json");
    EXPECT_NE(KeyValueStore::defaultLocation().string().find("/.config/morvex/"), std::string::npos);
    if (saved)
        ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace morvex
