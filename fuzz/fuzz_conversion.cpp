// Arbitrary bytes through the whole conversion, in both languages and both mapping styles, by the default rules
// and as faithful models, written into a scratch folder: nothing may crash, every write must succeed, every file
// must land directly inside, no key may carry into a name a character that could end it, and every finding lies
// within the text. Written as the types complete, the folder and the findings are the same as written whole.

#include "morvex/Conversion.h"
#include "morvex/Identifier.h"
#include "morvex/JSON.h"
#include "morvex/SettingValues.h"

#include "FuzzSupport.h"

#include <atomic>
#include <filesystem>
#include <iterator>
#include <set>

using morvex::fuzz::fail;
using morvex::fuzz::scratch;

namespace {

morvex::ConversionChoices style(int which)
{
    morvex::ConversionChoices choices;
    choices.isSwift = which % 4 < 2;
    choices.isClass = which % 4 != 1;
    choices.base = choices.isSwift ? "Codable" : "NSObject";
    choices.adjustType = which % 4 == 3 ? morvex::MXAdjustType::mjExtension() : morvex::MXAdjustType::none();
    choices.faithful = which >= 4;
    return choices;
}

// The streamed folder beside the one `writeFiles` left in `folder`, file by file.
void compareStreamed(std::string_view text, const morvex::ConversionChoices& choices, const morvex::MXDate& date,
                     const morvex::Findings& findings, const std::filesystem::path& folder)
{
    const std::filesystem::path streamed = scratch() / "streamed";
    std::filesystem::remove_all(streamed);
    std::atomic<std::size_t> inPlace = 0;
    const morvex::WrittenConversion written = morvex::convertInto(
        morvex::JSONDocument::parse(text), choices, morvex::defaultSettingValues(), streamed, date, &inPlace);
    if (written.folderProblem || !written.failures.empty())
        fail("streamed writing failed", written.folderProblem.value_or("a file"));
    if (!(written.findings == findings))
        fail("streamed findings differ", std::to_string(written.findings.kept.size()));
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(streamed)) {
        ++count;
        if (morvex::test::readFile(entry.path()) != morvex::test::readFile(folder / entry.path().filename()))
            fail("a streamed file differs", entry.path().filename().string());
    }
    if (count != inPlace ||
        count != static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {})))
        fail("streamed file count", std::to_string(count));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static const morvex::MXDate date = morvex::MXDate::fixed("2026/12/05");
    for (int which = 0; which < 8; ++which) {
        const morvex::ConversionChoices choices = style(which);
        const morvex::Conversion conversion = morvex::convert(text, choices, morvex::defaultSettingValues(), date);
        if (conversion.jsonError && conversion.models.size() != 1)
            fail("text that is not JSON must give the root alone", conversion.jsonError->describe());
        if (conversion.files.size() != conversion.models.size() * (choices.isSwift ? 1 : 2))
            fail("file count", std::to_string(conversion.files.size()));
        for (const auto& finding : conversion.findings.kept) {
            if (finding.offset > size || finding.length > size - finding.offset)
                fail("a finding outside the text", finding.path);
        }
        for (const auto& model : conversion.models) {
            if (!morvex::isSafeName(model.className))
                fail("a type name that is not a safe name", model.className);
        }

        const std::filesystem::path folder = scratch() / "whole";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        for (const auto& failure : morvex::writeFiles(conversion.files, folder))
            fail("write failed", failure.fileName + ": " + failure.reason);

        std::set<std::string> names;
        for (const auto& file : conversion.files)
            names.insert(file.name);
        std::size_t count = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            ++count;
            if (entry.path().parent_path() != folder || !entry.is_regular_file())
                fail("outside the folder or not a file", entry.path().string());
            if (!names.contains(entry.path().filename().string()))
                fail("unexpected file", entry.path().string());
        }
        if (count != names.size())
            fail("written files", std::to_string(count) + " of " + std::to_string(names.size()));
        if (!conversion.jsonError)
            compareStreamed(text, choices, date, conversion.findings, folder);
    }
    return 0;
}
