#pragma once

// What the conversion and the conversion written straight into a folder share: the generator's setup, the file
// texts of one type, and the findings read off the sample and the type names.
#include "morvex/CodeFileStart.h"
#include "morvex/Conversion.h"
#include "morvex/JSONTool.h"

#include <string>
#include <vector>

namespace morvex::detail {

/// The generator set up for `choices` and the remembered prefix; `rootName` receives the root key to walk with.
JSONTool makeTool(const ConversionChoices& choices, const std::vector<std::string>& settingValues,
                  std::string& rootName);

/// The whole conversion of `document`, texts included.
Conversion generate(const JSONDocument& document, const ConversionChoices& choices,
                    const std::vector<std::string>& settingValues, const MXDate& date);

/// The findings that come before those about the output as a whole (`outputFindings`): what the rules lose of
/// the sample, then the types of `models` (names and shapes are read) whose file names would overwrite each other.
void sampleFindings(const JSONDocument& document, const std::vector<CodeModel>& models,
                    const ConversionChoices& choices, bool usedFaithful, Findings& findings);

/// What the findings read of a type, for walks of a million types that keep nothing else of them.
struct TypeName
{
    std::string className;
    std::uint32_t shape;
};
void sampleFindings(const JSONDocument& document, const std::vector<TypeName>& models, const ConversionChoices& choices,
                    bool usedFaithful, Findings& findings);

/// Assembles the files of one type: one ".swift" file, or its ".h" then its ".m" file.
class TypeFiles
{
public:
    TypeFiles(const ConversionChoices& choices, const std::vector<std::string>& settingValues, const MXDate& date)
        : m_choices(choices), m_fileStart(settingValues, date)
    {}

    /// The name of the type's first file: types whose first names are equal have all their names equal.
    std::string firstName(const std::string& className) const;

    /// Appends the files of `model` to `files` and, when `display` is given, the type's part of the code view.
    void append(const CodeModel& model, std::vector<GeneratedFile>& files, std::string* display) const;

private:
    const ConversionChoices& m_choices;
    const CodeFileStart m_fileStart;
};

} // namespace morvex::detail
