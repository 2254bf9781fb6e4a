#include "morvex/Conversion.h"
#include "morvex/FileName.h"
#include "morvex/SettingValues.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvex {
namespace {

using test::listFolder;
using test::readFile;
using test::TempDir;

const MXDate fixedDate = MXDate::fixed("2026/12/05");

std::vector<std::string> fileNames(const Conversion& conversion)
{
    std::vector<std::string> names;
    for (const auto& file : conversion.files)
        names.push_back(file.name);
    return names;
}

ConversionChoices objectiveC(MXAdjustType adjustType = MXAdjustType::none())
{
    ConversionChoices choices;
    choices.isSwift = false;
    choices.base = "NSObject";
    choices.adjustType = std::move(adjustType);
    return choices;
}

TEST(ConvertSwift, OneFilePerTypeRootFirstAndDisplayWithoutHeaders)
{
    auto conversion = convert(R"({"a":{"b":1}})", ConversionChoices{}, defaultSettingValues(), fixedDate);
    EXPECT_EQ(fileNames(conversion), (std::vector<std::string>{"MXRootModel.swift", "MXA.swift"}));
    EXPECT_EQ(conversion.display, conversion.models[0].code + "\n" + conversion.models[1].code);
    EXPECT_EQ(conversion.display.find("//"), std::string::npos);
    EXPECT_FALSE(conversion.jsonError);
}

TEST(ConvertSwift, TextThatIsNotJSONStillConvertsAndTellsWhy)
{
    auto conversion = convert("{\"a\":", ConversionChoices{}, defaultSettingValues(), fixedDate);
    ASSERT_TRUE(conversion.jsonError);
    EXPECT_EQ(conversion.display, "class MXRootModel: Codable {\n\n}\n");
    EXPECT_EQ(fileNames(conversion), std::vector<std::string>{"MXRootModel.swift"});
}

TEST(ConvertObjectiveC, HeaderBeforeImplementationPerType)
{
    auto conversion = convert(R"({"a":{"b":1}})", objectiveC(), defaultSettingValues(), fixedDate);
    EXPECT_EQ(fileNames(conversion), (std::vector<std::string>{"MXRootModel.h", "MXRootModel.m", "MXA.h", "MXA.m"}));
    const std::string separator = "\n" + std::string(102, '/') + "\n\n";
    std::string expected;
    for (std::size_t i = 0; i < conversion.files.size(); i += 2)
        expected += conversion.files[i].text + "\n" + conversion.files[i + 1].text + separator;
    EXPECT_EQ(conversion.display, expected);
}

TEST(ConvertObjectiveC, PlaceholderTextInNamesAndHeadersIsNeverRewritten)
{
    auto conversion = convert(R"({"items":[{"x":1}]})", objectiveC(MXAdjustType::mjExtension()),
                              {"{import}", "{code} Ltd", "P", "R"}, fixedDate);
    const std::string& implementation = conversion.files[1].text;
    EXPECT_NE(implementation.find("Created by {import} on"), std::string::npos);
    EXPECT_NE(implementation.find("{code} Ltd. All rights"), std::string::npos);
    EXPECT_NE(implementation.find("#import <MJExtension/MJExtension.h>\n#import \"PR.h\"\n\n"
                                  "@implementation PR\n\n+ (NSDictionary *)mj_objectClassInArray"),
              std::string::npos);
}

TEST(ConvertFileNames, UnsafeKeysGiveTypeAndFileNamesAlike)
{
    auto conversion = convert(R"({"../up":{"a":1},"a/b":{"c":1},"\u0007bell":{"d":1}})", ConversionChoices{},
                              {"me", "co", "", "Root"}, fixedDate);
    EXPECT_EQ(fileNames(conversion),
              (std::vector<std::string>{"Root.swift", ".._up.swift", "A_b.swift", "_bell.swift"}));
    EXPECT_NE(conversion.files[1].text.find("class .._up: Codable {"), std::string::npos);
}

TEST(FileNameFor, ReplacesSeparatorsAndControlCharacters)
{
    EXPECT_EQ(fileNameFor("MXUser", ".swift"), "MXUser.swift");
    EXPECT_EQ(fileNameFor("a/b", ".h"), "a_b.h");
    EXPECT_EQ(fileNameFor(std::string("x\0y", 3), ".m"), "x_y.m");
    EXPECT_EQ(fileNameFor("", ".swift"), "_.swift");
    EXPECT_EQ(fileNameFor("CON", ".h"), "CON.h");
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

// Written as each type completes, the folder ends as writing every file in order leaves it: of types sharing a
// file name (the root's too) the later one wins. The findings are the same too.
TEST(ConvertInto, LeavesTheSameFolderAsWritingEveryFile)
{
    ConversionChoices onNSObject;
    onNSObject.base = "NSObject";
    ConversionChoices faithful;
    faithful.faithful = true;
    for (const char* json : {R"({"a":{"a":{"b":1}},"x":{"a":{"c":2}},"l":[{"q":1},{"r":2.5}],"n":null})",
                             R"({"rootModel":{"z":1},"m":{"rootModel":{"y":"s"}},"first-name":[]})"}) {
        for (const auto& choices :
             {ConversionChoices{}, objectiveC(MXAdjustType::mjExtension()), onNSObject, faithful}) {
            TempDir dir;
            const auto whole = convert(json, choices, defaultSettingValues(), fixedDate);
            std::filesystem::create_directory(dir / "whole");
            ASSERT_TRUE(writeFiles(whole.files, dir / "whole").empty());
            std::atomic<std::size_t> written = 0;
            const auto streamed = convertInto(JSONDocument::parse(json), choices, defaultSettingValues(),
                                              dir / "streamed", fixedDate, &written);
            EXPECT_TRUE(streamed.failures.empty());
            // Faithful types lose nothing here and share no name; the default ones do both.
            EXPECT_EQ(whole.findings.kept.empty(), choices.faithful) << json;
            EXPECT_EQ(streamed.findings, whole.findings);
            const auto names = listFolder(dir / "whole");
            EXPECT_EQ(listFolder(dir / "streamed"), names) << json;
            EXPECT_EQ(written, names.size());
            for (const auto& name : names)
                EXPECT_EQ(readFile(dir / "streamed" / name), readFile(dir / "whole" / name)) << name;
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

TEST(WriteFiles, FolderInTheWayFailsThatFileOnlyAndLeavesNoTemporaryFiles)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "B.swift");
    auto failures = writeFiles({{"A.swift", "a"}, {"B.swift", "b"}, {"C.swift", "c"}}, dir.path());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].fileName, "B.swift");
    EXPECT_EQ(readFile(dir / "A.swift"), "a");
    EXPECT_EQ(readFile(dir / "C.swift"), "c");
    EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"A.swift", "B.swift", "C.swift"}));
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

TEST(WriteFiles, ReadOnlyFolderReportsEachFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    ::chmod(dir.path().c_str(), 0500);
    auto failures = writeFiles({{"A.swift", "a"}, {"B.swift", "b"}}, dir.path());
    ::chmod(dir.path().c_str(), 0700);
    EXPECT_EQ(failures.size(), 2u);
    EXPECT_TRUE(listFolder(dir.path()).empty());
}

} // namespace
} // namespace morvex
