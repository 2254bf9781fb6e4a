#include "morvex/Conversion.h"
#include "morvex/FileName.h"
#include "morvex/SettingValues.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace morvex {
namespace {

using test::listFolder;
using test::readFile;
using test::TempDir;

const MXDate fixedDate = MXDate::fixed("2026/12/05");

TEST(FileNameFor, ReplacesSeparatorsAndControlCharacters)
{
    const std::pair<std::string, std::string> rows[] = {
        {"MXUser", "MXUser.swift"}, {"a/b", "a_b.swift"}, {std::string("x\0y", 3), "x_y.swift"}, {"", "_.swift"}};
    for (const auto& [type, file] : rows)
        EXPECT_EQ(fileNameFor(type, ".swift"), file);
}

TEST(FileNameFor, ShortensLongNamesKeepingThemDistinctAndValidUTF8)
{
    const std::string longA = "MX" + std::string(300, 'a');
    const std::string longB = "MX" + std::string(299, 'a') + "b";
    const std::string a = fileNameFor(longA, ".swift");
    const std::string b = fileNameFor(longB, ".swift");
    EXPECT_LE(a.size(), 255u);
    EXPECT_NE(a, b);
    EXPECT_EQ(a.substr(a.size() - 6), ".swift");

    std::string wide = "MX";
    for (int i = 0; i < 100; ++i)
        wide += "\u7528"; // three bytes each
    const std::string cut = fileNameFor(wide, ".h");
    EXPECT_LE(cut.size(), 255u);
    const std::string stem = cut.substr(0, cut.find('~'));
    EXPECT_EQ((stem.size() - 2) % 3, 0u) << "no character cut in half";
}

TEST(WriteFiles, WritesEveryFileAndReplacesOldOnes)
{
    TempDir dir;
    test::writeFile(dir / "MXRootModel.swift", "old content that is longer than the new one ........");
    auto conversion = convert(R"({"a":{"b":1}})", ConversionChoices{}, defaultSettingValues(), fixedDate);
    EXPECT_TRUE(writeFiles(conversion.files, dir.path()).empty());
    EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"MXA.swift", "MXRootModel.swift"}));
    for (const auto& file : conversion.files)
        EXPECT_EQ(readFile(dir / file.name), file.text);
}

// A head is as many whole types as fit, or the first type's whole lines when it alone is longer.
TEST(DisplayHead, EndsWhereATypeOrALineEnds)
{
    for (const bool swift : {true, false}) {
        ConversionChoices choices;
        choices.isSwift = swift;
        const auto conversion = convert(R"({"a":{"b":1},"c":{"d":2}})", choices, defaultSettingValues(), fixedDate);
        const std::string_view display = conversion.display;
        // Swift types are joined by a line break; each Objective-C type ends with a line of slashes.
        const std::string_view mark = swift ? "\nclass MX" : "//////////\n\n";
        std::vector<std::size_t> ends;
        for (std::size_t at = display.find(mark); at != std::string_view::npos; at = display.find(mark, at + 1))
            ends.push_back(swift ? at : at + mark.size());
        if (swift)
            ends.push_back(display.size());
        ASSERT_EQ(ends, (std::vector<std::size_t>{ends[0], ends[1], display.size()}));
        for (std::size_t limit = 0; limit <= display.size(); ++limit) {
            const std::string_view head = displayHead(conversion, limit);
            ASSERT_EQ(display.substr(0, head.size()), head);
            const auto fit = std::upper_bound(ends.begin(), ends.end(), limit);
            const std::size_t expected =
                fit == ends.begin() ? display.substr(0, limit).rfind('\n') + 1 : *std::prev(fit);
            EXPECT_EQ(head.size(), expected) << swift << " " << limit;
        }
    }
}

TEST(WriteFiles, MissingFolderFailsEveryFileWithReason)
{
    TempDir dir;
    auto failures = writeFiles({{"A.swift", "a"}, {"B.swift", "b"}}, dir / "missing");
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[1].fileName, "B.swift");
    EXPECT_NE(failures[0].reason.find("No such file or directory"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(WriteFiles, NeverWritesOutsideTheFolder)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "out");
    auto failures = writeFiles({{"../escape.swift", "x"}, {"..", "x"}}, dir / "out");
    EXPECT_EQ(failures.size(), 2u);
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"out"});
    EXPECT_TRUE(listFolder(dir / "out").empty());
}

TEST(WriteFiles, SymlinkAtTargetIsReplacedNotFollowed)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "out");
    test::writeFile(dir / "victim", "keep");
    std::filesystem::create_symlink(dir / "victim", dir / "out" / "A.swift");
    EXPECT_TRUE(writeFiles({{"A.swift", "new"}}, dir / "out").empty());
    EXPECT_EQ(readFile(dir / "victim"), "keep");
    EXPECT_EQ(readFile(dir / "out" / "A.swift"), "new");
}

} // namespace
} // namespace morvex
