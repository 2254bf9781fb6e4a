#include "morvex/Conversion.h"

#include "Rules.h"

#include "morvex/AtomicFile.h"
#include "morvex/CodeFileStart.h"
#include "morvex/FileName.h"
#include "morvex/Identifier.h"
#include "morvex/JSONTool.h"
#include "morvex/ObjectiveCEmitter.h"
#include "morvex/SettingValues.h"
#include "morvex/SwiftEmitter.h"

#include "TypeFiles.h"

#include <algorithm>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unordered_map>

namespace morvex {

namespace {

constexpr std::string_view separator =
    "\n//////////////////////////////////////////////////////////////////////////////////////////////////////\n\n";
static_assert(separator.size() == 105);

// Concatenates without temporaries (and without the false -Wrestrict that operator+ chains draw from GCC 12).
std::string concat(std::initializer_list<std::string_view> parts)
{
    std::size_t size = 0;
    for (auto part : parts)
        size += part.size();
    std::string out;
    out.reserve(size);
    for (auto part : parts)
        out.append(part);
    return out;
}

const std::string& settingAt(const std::vector<std::string>& values, std::size_t index)
{
    return index < values.size() ? values[index] : defaultSettingValues()[index];
}

// The form under which a case-insensitive file system (such as the default one on macOS) files a name: letter
// case folded over all of Unicode, not just ASCII ("MXÄ" and "MXä" are one file there).
std::string caseFolded(std::string_view text)
{
    std::string out(text);
    bool ascii = true;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (static_cast<unsigned char>(c) >= 0x80)
            ascii = false;
    }
    if (ascii)
        return out;
    icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    out.clear();
    unicode.foldCase().toUTF8String(out);
    return out;
}

// The composed form (NFC): macOS file systems treat "é" composed and decomposed as one name.
std::string composed(std::string_view text)
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(text);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return std::string(text);
    const icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::string out;
    nfc->normalize(unicode, status).toUTF8String(out);
    return U_FAILURE(status) ? std::string(text) : out;
}

// Notes file names that two types would share: exactly (the later one replaces the earlier), or apart from
// letter case or Unicode normalisation (they collide on case-insensitive or normalising file systems).
char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Orders texts as their ASCII letters folded to lower case order them.
int compareFolded(std::string_view x, std::string_view y)
{
    const std::size_t common = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto a = static_cast<unsigned char>(asciiLower(x[i]));
        const auto b = static_cast<unsigned char>(asciiLower(y[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

// The positions 0..n-1 in order of `compare` (three-way), equal ones by position.
template <typename Compare>
std::vector<std::uint32_t> sortedPositions(std::size_t n, Compare compare)
{
    std::vector<std::uint32_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = static_cast<std::uint32_t>(i);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int c = compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return order;
}

template <typename Models>
void collisions(const Models& models, const detail::FileStems<Models>& stems, const SampleTypes& types,
                std::string_view extension, Findings& findings)
{
    // The names as the file system files them: case folded and composed. An ASCII name folds by its letters
    // alone, so only the others are kept folded; groups of equal names come from sorting, not from a table of
    // a million names.
    std::unordered_map<std::uint32_t, std::string> foldedOthers;
    for (std::size_t i = 0; i < models.size(); ++i) {
        const std::string_view stem = stems[i];
        if (std::any_of(stem.begin(), stem.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            foldedOthers.emplace(static_cast<std::uint32_t>(i), caseFolded(composed(stem)));
    }
    auto folded = [&](std::uint32_t i) -> std::string_view {
        if (!foldedOthers.empty()) {
            if (auto found = foldedOthers.find(i); found != foldedOthers.end())
                return found->second;
        }
        return stems[i];
    };
    const std::vector<std::uint32_t> order = sortedPositions(
        models.size(), [&](std::uint32_t a, std::uint32_t b) { return compareFolded(folded(a), folded(b)); });
    // Each later type beside the first of its exact name, or failing that of its folded name, in model order:
    // a file that replaces another loses members, which matters more than a name that only folds alike.
    // A key repeated at many levels ({"a":{"a":...}}) gives the same pair again and again: it is said once, at
    // its first later type, so a million of them keep one entry.
    std::unordered_map<std::string, std::pair<std::uint32_t, std::uint32_t>> pairs;
    std::unordered_map<std::string_view, std::uint32_t> firstOfStem;
    for (std::size_t start = 0, end = 0; start < order.size(); start = end) {
        firstOfStem.clear();
        for (end = start + 1; end < order.size() && compareFolded(folded(order[start]), folded(order[end])) == 0;
             ++end) {
            const std::uint32_t later = order[end];
            const std::string_view stem = stems[later];
            std::uint32_t first =
                stem == stems[order[start]] ? order[start] : firstOfStem.try_emplace(stem, later).first->second;
            if (first == later)
                first = order[start];
            const bool sameFile = stems[first] == stem;
            const auto [entry, fresh] = pairs.try_emplace(
                concat({sameFile ? "=" : "~", models[first].className, "/", models[later].className}), later, first);
            if (!fresh && later < entry->second.first)
                entry->second = {later, first};
        }
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> repeats;
    repeats.reserve(pairs.size());
    for (const auto& [key, pair] : pairs)
        repeats.push_back(pair);
    std::sort(repeats.begin(), repeats.end());

    for (const auto& [i, firstIndex] : repeats) {
        const auto& first = models[firstIndex];
        const auto& later = models[i];
        const std::string_view earlierStem = stems[firstIndex];
        const bool sameFile = earlierStem == stems[i];
        const Place place = later.shape < types.shapes.size() ? types.firstPlace(later.shape) : Place{};
        std::string file = concat({stems[i], extension});
        if (first.className == later.className) {
            // Paths are built only for findings that are kept.
            const std::string earlierPath = findings.full() || first.shape >= types.shapes.size()
                                                ? std::string("$")
                                                : types.path(types.firstPlace(first.shape));
            detail::addFinding(findings, types, FindingKind::typeNameShared, place,
                               {std::string(later.className), earlierPath}, std::move(file));
        } else if (sameFile) {
            detail::addFinding(findings, types, FindingKind::fileReplaced, place,
                               {std::string(first.className), std::string(later.className)}, std::move(file));
        } else {
            const bool byCase = composed(earlierStem) != composed(stems[i]);
            detail::addFinding(findings, types, FindingKind::fileNameCase, place,
                               {std::string(first.className), std::string(later.className),
                                concat({earlierStem, extension}), byCase ? "case" : "normalisation"},
                               std::move(file));
        }
    }
}

std::string implementationText(const CodeFileStart& fileStart, const CodeModel& model, const std::string& hName,
                               const std::string& mName, const MXAdjustType& adjustType)
{
    // Assembled piece by piece rather than by filling placeholders in a template, so that a type name or a
    // header value that happens to contain a placeholder's text is never rewritten.
    std::string text = fileStart.header(mName);
    text += '\n';
    text +=
        ObjectiveCEmitter::importText(adjustType, model.classInArray.empty() ? model.replacedKeys : model.classInArray);
    // The header is imported under the name it was written with, which is shortened for over-long type names.
    text += concat({"#import \"", hName, "\"\n\n@implementation ", model.className, "\n\n"});
    text += ObjectiveCEmitter::mappingText(adjustType, model.classInArray);
    if (!adjustType.isNone() && !model.replacedKeys.empty()) {
        // Renamed members (faithful rules) are mapped back to their JSON keys.
        text += "+ (NSDictionary *)mj_replacedKeyFromPropertyName {\n    return @{";
        for (std::size_t i = 0; i < model.replacedKeys.size(); ++i)
            text += concat(
                {i ? "," : "", "@\"", model.replacedKeys[i].first, "\": @\"", model.replacedKeys[i].second, "\""});
        text += "};\n}\n\n";
    }
    text += "@end\n";
    return text;
}

} // namespace

namespace detail {

Conversion generate(const JSONDocument& document, const ConversionChoices& choices,
                    const std::vector<std::string>& settingValues, const MXDate& date, bool modelsOnly)
{
    Conversion conversion;
    if (const JSONError* error = document.error())
        conversion.jsonError = *error;

    std::string rootName;
    JSONTool tool = detail::makeTool(choices, settingValues, rootName);
    CodeModel root;
    root.className = tool.typeName(rootName);
    root.shape = 0;
    std::vector<CodeModel> faithful;
    if (choices.faithful && !document.error())
        faithful = detail::faithfulModels(document.types(), tool, choices, rootName);
    const bool usedFaithful = !faithful.empty();
    if (usedFaithful) {
        conversion.models = std::move(faithful);
    } else if (choices.isSwift) {
        root.code = SwiftEmitter(tool).parse(document.root(), rootName);
    } else {
        auto result = ObjectiveCEmitter(tool).parse(document.root(), rootName);
        root.code = std::move(result.code);
        root.classInArray = std::move(result.classInArray);
    }
    if (conversion.models.empty()) {
        conversion.models.reserve(tool.model.size() + 1);
        conversion.models.push_back(std::move(root));
        for (auto& model : tool.model)
            conversion.models.push_back(std::move(model));
    }

    detail::sampleFindings(document, conversion.models, choices, usedFaithful, conversion.findings);
    if (!document.error())
        detail::outputFindings(conversion.models, tool, document.types(), choices, conversion.findings);
    if (modelsOnly)
        return conversion;

    const detail::TypeFiles typeFiles(choices, settingValues, date);
    conversion.files.reserve(conversion.models.size() * (choices.isSwift ? 1 : 2));
    for (const CodeModel& model : conversion.models)
        typeFiles.append(model, conversion.files, &conversion.display);
    return conversion;
}

JSONTool makeTool(const ConversionChoices& choices, const std::vector<std::string>& settingValues,
                  std::string& rootName)
{
    JSONTool tool;
    // The command line and the app refuse a prefix or root name that is not a safe name; this is the last guard.
    tool.classPrefix = safeName(settingAt(settingValues, prefixIndex));
    tool.typePrefix = choices.isClass ? "class" : "struct";
    tool.base = choices.base;
    rootName = safeName(settingAt(settingValues, rootNameIndex));
    return tool;
}

namespace {

template <typename Models>
void findingsOfSample(const JSONDocument& document, const Models& models, const ConversionChoices& choices,
                      bool usedFaithful, Findings& findings)
{
    const detail::FileStems<Models> stems(models, "");
    const SampleTypes& types = document.types();
    const Language language = choices.isSwift ? Language::swift : Language::objectiveC;
    if (!document.error()) {
        const auto replaced = replacedShapes(types);
        if (!usedFaithful) {
            defaultFindings(types, replaced, language, findings);
        } else {
            // The faithful types hold every value; only numbers beyond 64 bits still lose digits.
            for (std::size_t i = 0; i < types.shapes.size(); ++i) {
                if (!replaced[i] && types.rarePlace(types.shapes[i], RarePlace::wide).known())
                    addFinding(findings, types, FindingKind::wideNumber,
                               types.rarePlace(types.shapes[i], RarePlace::wide), {});
            }
        }
        repeatedKeyFindings(types, replaced, findings);
    }
    collisions(models, stems, types, choices.isSwift ? ".swift" : ".h", findings);
}

} // namespace

void sampleFindings(const JSONDocument& document, const std::vector<CodeModel>& models,
                    const ConversionChoices& choices, bool usedFaithful, Findings& findings)
{
    findingsOfSample(document, models, choices, usedFaithful, findings);
}

void sampleFindings(const JSONDocument& document, const TypeNames& models, const ConversionChoices& choices,
                    bool usedFaithful, Findings& findings)
{
    findingsOfSample(document, models, choices, usedFaithful, findings);
}

void TypeNames::add(std::string_view name, std::uint32_t shape)
{
    if (m_names.empty() || name != m_names.back()) {
        if (m_chunks.empty() || m_size - m_used < name.size()) {
            constexpr std::size_t chunkSize = 1 << 20;
            m_size = std::max(chunkSize, name.size());
            m_chunks.push_back(std::make_unique<char[]>(m_size));
            m_used = 0;
        }
        char* at = m_chunks.back().get() + m_used;
        std::copy(name.begin(), name.end(), at);
        m_used += name.size();
        m_names.emplace_back(at, name.size());
    }
    m_types.push_back({static_cast<std::uint32_t>(m_names.size() - 1), shape});
}

void TypeFiles::append(const CodeModel& model, std::vector<GeneratedFile>& files, std::string* display) const
{
    if (m_choices.isSwift) {
        if (display) {
            if (!display->empty())
                *display += '\n';
            *display += model.code;
        }
        std::string name = fileNameFor(model.className, ".swift");
        std::string text = concat({m_fileStart.header(name), "\nimport Foundation\n\n", model.code});
        files.push_back({std::move(name), std::move(text)});
        return;
    }
    std::string hName = fileNameFor(model.className, ".h");
    std::string hText = concat({m_fileStart.header(hName), "\n#import <Foundation/Foundation.h>\n", model.code});
    GeneratedFile m = implementation(model);
    if (display)
        display->append(hText).append("\n").append(m.text).append(separator);
    files.push_back({std::move(hName), std::move(hText)});
    files.push_back(std::move(m));
}

AtomicFolder::Stream TypeFiles::startCode(std::string_view className, const AtomicFolder& folder,
                                          std::string& name) const
{
    name = fileNameFor(className, m_choices.isSwift ? ".swift" : ".h");
    AtomicFolder::Stream file = folder.create(name);
    file.append(m_fileStart.header(name));
    file.append(m_choices.isSwift ? "\nimport Foundation\n\n" : "\n#import <Foundation/Foundation.h>\n");
    return file;
}

GeneratedFile TypeFiles::implementation(const CodeModel& model) const
{
    std::string mName = fileNameFor(model.className, ".m");
    std::string mText =
        implementationText(m_fileStart, model, fileNameFor(model.className, ".h"), mName, m_choices.adjustType);
    return {std::move(mName), std::move(mText)};
}

} // namespace detail

Conversion convert(std::string_view jsonText, const ConversionChoices& choices,
                   const std::vector<std::string>& settingValues, const MXDate& date)
{
    return detail::generate(JSONDocument::parse(jsonText), choices, settingValues, date);
}

Conversion convert(PaddedText jsonText, const ConversionChoices& choices, const std::vector<std::string>& settingValues,
                   const MXDate& date)
{
    return detail::generate(JSONDocument::parse(jsonText), choices, settingValues, date);
}

// Each type's part of the display is laid out as TypeFiles::append writes it.
std::string_view displayHead(const Conversion& conversion, std::size_t limit)
{
    const std::string_view display = conversion.display;
    const std::vector<CodeModel>& models = conversion.models;
    const std::vector<GeneratedFile>& files = conversion.files;
    const bool swift = files.size() == models.size();
    std::size_t length = 0;
    for (std::size_t type = 0; type < models.size(); ++type) {
        const std::size_t part =
            swift ? (type == 0 ? 0 : 1) + models[type].code.size()
                  : files[2 * type].text.size() + 1 + files[2 * type + 1].text.size() + separator.size();
        if (length + part > limit)
            break;
        length += part;
    }
    if (length == 0 && limit < display.size())
        length = display.substr(0, limit).rfind('\n') + 1; // npos + 1: no whole line fits
    return display.substr(0, length);
}

std::vector<WriteFailure> writeFiles(const std::vector<GeneratedFile>& files, const std::filesystem::path& folder,
                                     std::size_t* written)
{
    std::vector<WriteFailure> failures;
    std::error_code error;
    auto target = AtomicFolder::open(folder, error);
    if (!target) {
        for (const auto& file : files)
            failures.push_back(
                {file.name, concat({"cannot open the folder ", folder.string(), ": ", error.message()})});
        return failures;
    }
    target->removeStaleTemporaryFiles();
    // A file that a later one of the same name replaces is not written at all: the folder ends up the same, and
    // a key repeated at every level of deep text would otherwise rewrite one file a hundred thousand times.
    std::unordered_map<std::string_view, std::size_t> last;
    for (std::size_t i = 0; i < files.size(); ++i)
        last[files[i].name] = i;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const GeneratedFile& file = files[i];
        if (last[file.name] != i)
            continue;
        if (std::error_code failed = target->write(file.name, file.text))
            failures.push_back({file.name, failed.message()});
        else if (written)
            ++*written;
    }
    return failures;
}

} // namespace morvex
