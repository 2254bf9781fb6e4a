#pragma once

#include "morvex/CodeModel.h"
#include "morvex/Findings.h"
#include "morvex/JSON.h"
#include "morvex/MXAdjustType.h"
#include "morvex/MXDate.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvex {

/// The per-conversion choices of the settings dialog.
struct ConversionChoices
{
    bool isSwift = true;
    /// Swift only: class (true) or struct (false). Objective-C output is always a class.
    bool isClass = true;
    /// Objective-C only.
    MXAdjustType adjustType = MXAdjustType::none();
    /// Base class or protocol; the dialog's default is "Codable" for Swift and "NSObject" for Objective-C.
    std::string base = "Codable";
    /// Types that hold every value of the sample (merged array elements, optionals, wider numbers, names that
    /// compile) instead of the default rules.
    bool faithful = false;
};

/// One file to write: its name in the output folder and its UTF-8 text.
struct GeneratedFile
{
    std::string name;
    std::string text;
};

/// Everything one conversion produces, before anything is written.
struct Conversion
{
    /// The generated types, root first, then the nested types children before parents.
    std::vector<CodeModel> models;
    /// The files in writing order: per type one ".swift" file, or its ".h" then its ".m" file.
    std::vector<GeneratedFile> files;
    /// The text the code view shows (and the command line prints).
    std::string display;
    /// Why the JSON text did not parse; the conversion then holds a root type without members.
    std::optional<JSONError> jsonError;
    /// What the sample holds that the generated types cannot say, each with its place in the input: keys changed
    /// to become names, types whose files would overwrite each other, and what the rules lose.
    Findings findings;
};

/// Runs the generator over `jsonText` with `choices` and the remembered `settingValues` (prefix and root name
/// are read from it; author and company go into the headers) and assembles the files and the display text.
Conversion convert(std::string_view jsonText, const ConversionChoices& choices,
                   const std::vector<std::string>& settingValues, const MXDate& date = MXDate::shared());

/// The same over text with parser padding after it (a mapped file, say), which is then not copied.
Conversion convert(PaddedText jsonText, const ConversionChoices& choices, const std::vector<std::string>& settingValues,
                   const MXDate& date = MXDate::shared());

/// The start of `conversion.display` for a view that cannot hold all of it: the most whole types that take at
/// most `limit` bytes, or when the first type alone takes more, its lines that fit.
std::string_view displayHead(const Conversion& conversion, std::size_t limit);

/// A file that could not be written, and why.
struct WriteFailure
{
    std::string fileName;
    std::string reason;
};

/// Writes each file atomically into `folder` (which must exist), replacing files of the same name; of several
/// files with one name only the last is written, as it would replace the others. A failure does not stop the
/// others; every failure is returned. The folder not existing fails every file. Temporary files that killed
/// runs left in the folder are removed first. `written`, when given, counts the files in place as it goes.
std::vector<WriteFailure> writeFiles(const std::vector<GeneratedFile>& files, const std::filesystem::path& folder,
                                     std::size_t* written = nullptr);

/// What is left of a conversion written straight into a folder (`convertInto`): no texts are kept.
struct WrittenConversion
{
    /// The number of generated types.
    std::size_t typeCount = 0;
    /// As `Conversion::findings`.
    Findings findings;
    /// Why the folder could not be created or opened; nothing was written then.
    std::optional<std::string> folderProblem;
    /// The number of distinct file names the conversion makes.
    std::size_t fileNames = 0;
    std::vector<WriteFailure> failures;
};

/// Converts the parsed (valid) `document` and writes each type's files into `folder`, created when missing, as
/// soon as the type's text is complete, on a second thread: memory does not grow with the number of types. The
/// folder ends as `writeFiles(convert(...).files)` leaves it: of types that share a file name only the last one
/// in model order is written, and no file is written twice. `written`, when given, counts the files in place as
/// it goes. The findings are those `convert` gives. The document's text must stay readable until this returns.
/// Faithful choices are converted whole and then written: their types are merged over the whole sample first.
WrittenConversion convertInto(const JSONDocument& document, const ConversionChoices& choices,
                              const std::vector<std::string>& settingValues, const std::filesystem::path& folder,
                              const MXDate& date = MXDate::shared(), std::atomic<std::size_t>* written = nullptr);

} // namespace morvex
