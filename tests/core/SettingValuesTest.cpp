#include "morvex/SettingValues.h"
#include "morvex/KeyValueStore.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <map>

namespace morvex {
namespace {

using test::TempDir;

const std::vector<std::string> defaults{"Lintrel", "Morvex \u79D1\u6280\u6709\u9650\u516C\u53F8", "MX", "RootModel"};

// Loading never writes; an empty or short stored string takes the defaults for the missing positions.
TEST(SettingValuesLoad, MissingPositionsTakeTheDefaults)
{
    TempDir dir;
    KeyValueStore store(dir / "morvex/settings.json");
    EXPECT_EQ(loadSettingValues(store), defaults);
    EXPECT_FALSE(std::filesystem::exists(store.file()));
    ASSERT_FALSE(store.set("", "SettingSave"));
    EXPECT_EQ(loadSettingValues(store), defaults);
    ASSERT_FALSE(store.set("Ann,,P", "SettingSave"));
    EXPECT_EQ(loadSettingValues(store), (std::vector<std::string>{"Ann", "", "P", "RootModel"}));
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

// An unset or relative XDG_CONFIG_HOME means ~/.config; with HOME unset too, never the current folder.
TEST(KeyValueStoreLocation, FollowsXDGConfigHome)
{
    std::map<std::string, std::string> saved;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
        if (const char* value = std::getenv(name))
            saved[name] = value;
    }
    ::setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(KeyValueStore::defaultLocation(), std::filesystem::path("/somewhere/config/morvex/settings.json"));
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    ::setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(KeyValueStore::defaultLocation(), std::filesystem::path("/home/ann/.config/morvex/settings.json"));
    ::unsetenv("HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    const auto location = KeyValueStore::defaultLocation();
    EXPECT_TRUE(location.empty() || location.is_absolute()) << location;
    for (const auto& [name, value] : saved)
        ::setenv(name.c_str(), value.c_str(), 1);
}

} // namespace
} // namespace morvex
