#pragma once

// What the conversion and the conversion written straight into a folder share: the generator's setup, the file
// texts of one type, and the findings read off the sample and the type names.
#include "morvex/AtomicFile.h"
#include "morvex/CodeFileStart.h"
#include "morvex/Conversion.h"
#include "morvex/FileName.h"
#include "morvex/JSONTool.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace morvex::detail {

/// The generator set up for `choices` and the remembered prefix; `rootName` receives the root key to walk with.
JSONTool makeTool(const ConversionChoices& choices, const std::vector<std::string>& settingValues,
                  std::string& rootName);

/// The whole conversion of `document`: its models and findings, and unless `modelsOnly` its files and display text.
Conversion generate(const JSONDocument& document, const ConversionChoices& choices,
                    const std::vector<std::string>& settingValues, const MXDate& date, bool modelsOnly = false);

/// The findings that come before those about the output as a whole (`outputFindings`): what the rules lose of
/// the sample, then the types of `models` (names and shapes are read) whose file names would overwrite each other.
void sampleFindings(const JSONDocument& document, const std::vector<CodeModel>& models,
                    const ConversionChoices& choices, bool usedFaithful, Findings& findings);

/// What the findings read of a type, for walks of a million types that keep nothing else of them.
struct TypeName
{
    std::string_view className;
    std::uint32_t shape;
};

/// The types of a walk in model order, read as `TypeName`s, in 8 bytes each: the names are kept apart, where
/// they never move, and deep text names a million types alike, so a name equal to the one kept last is kept once.
class TypeNames
{
public:
    void add(std::string_view name, std::uint32_t shape);
    std::size_t size() const { return m_types.size(); }
    TypeName operator[](std::size_t i) const { return {m_names[m_types[i].name], m_types[i].shape}; }

private:
    struct Entry
    {
        std::uint32_t name;
        std::uint32_t shape;
    };
    std::vector<Entry> m_types;
    std::vector<std::string_view> m_names;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::size_t m_used = 0;
    std::size_t m_size = 0;
};
void sampleFindings(const JSONDocument& document, const TypeNames& models, const ConversionChoices& choices,
                    bool usedFaithful, Findings& findings);

/// The file names of the types of `models` (a list of `CodeModel`s or `TypeNames`) without `extension`, as
/// views: a name is its class name but where `fileNameFor` mends or shortens it, and only those are kept here. A
/// million types need no list of names.
template <typename Models>
class FileStems
{
public:
    FileStems(const Models& models, std::string_view extension) : m_models(models)
    {
        for (std::size_t i = 0; i < models.size(); ++i) {
            const std::string name = fileNameFor(models[i].className, extension);
            const std::string_view stem = std::string_view(name).substr(0, name.size() - extension.size());
            if (stem != models[i].className)
                m_mended.emplace(static_cast<std::uint32_t>(i), stem);
        }
    }

    std::string_view operator[](std::size_t i) const
    {
        if (!m_mended.empty()) {
            if (auto found = m_mended.find(static_cast<std::uint32_t>(i)); found != m_mended.end())
                return found->second;
        }
        return m_models[i].className;
    }

private:
    const Models& m_models;
    std::unordered_map<std::uint32_t, std::string> m_mended;
};

/// Assembles the files of one type: one ".swift" file, or its ".h" then its ".m" file.
class TypeFiles
{
public:
    TypeFiles(const ConversionChoices& choices, const std::vector<std::string>& settingValues, const MXDate& date)
        : m_choices(choices), m_fileStart(settingValues, date)
    {}

    /// Appends the files of `model` to `files` and, when `display` is given, the type's part of the code view.
    void append(const CodeModel& model, std::vector<GeneratedFile>& files, std::string* display) const;

    /// Starts the code file (".swift", or ".h") of the type `className` in `folder`, with its header and import
    /// line written: the caller appends the code and commits it. `name` receives the file's name.
    AtomicFolder::Stream startCode(std::string_view className, const AtomicFolder& folder, std::string& name) const;
    /// The ".m" file of an Objective-C type.
    GeneratedFile implementation(const CodeModel& model) const;

private:
    const ConversionChoices& m_choices;
    const CodeFileStart m_fileStart;
};

} // namespace morvex::detail
