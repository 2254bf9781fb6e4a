#include "morvex/Conversion.h"
#include "morvex/SettingValues.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace morvex {
namespace {

using test::TempDir;

std::vector<std::filesystem::path> corpusFiles()
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const char* folder : {"priority", "samples"}) {
        const auto path = std::filesystem::path(MORVEX_CORPUS) / folder;
        for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
            if (entry.path().extension() == ".json")
                files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool isInside(const std::filesystem::path& file, const std::filesystem::path& folder)
{
    const auto relative =
        std::filesystem::relative(std::filesystem::weakly_canonical(file), std::filesystem::weakly_canonical(folder));
    return !relative.empty() && *relative.begin() != "..";
}

TEST(CorpusConversion, EveryDocumentConvertsInBothLanguagesInsideTheFolder)
{
    const auto files = corpusFiles();
    ASSERT_FALSE(files.empty()) << "no corpus at " << MORVEX_CORPUS;
    for (const auto& input : files) {
        const std::string text = test::readFile(input);
        for (const bool swift : {true, false}) {
            SCOPED_TRACE(input.filename().string() + (swift ? " swift" : " objc"));
            ConversionChoices choices;
            choices.isSwift = swift;
            choices.base = swift ? "Codable" : "NSObject";
            choices.adjustType = MXAdjustType::mjExtension();
            Conversion conversion = convert(text, choices, defaultSettingValues(), MXDate::fixed("2026/12/05"));
            EXPECT_FALSE(conversion.jsonError) << conversion.jsonError->describe();
            EXPECT_EQ(conversion.files.size(), conversion.models.size() * (swift ? 1 : 2));

            TempDir out;
            EXPECT_TRUE(writeFiles(conversion.files, out.path()).empty());
            std::size_t written = 0;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(out.path())) {
                EXPECT_TRUE(entry.is_regular_file()) << entry.path();
                EXPECT_TRUE(isInside(entry.path(), out.path())) << entry.path();
                ++written;
            }
            EXPECT_GE(written, 1u);
            EXPECT_LE(written, conversion.files.size());
        }
    }
}

} // namespace
} // namespace morvex
