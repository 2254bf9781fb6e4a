#include "Rules.h"

#include "morvex/Identifier.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace morvex::detail {

namespace {

// The property is an object pointer: a string, an object or an array (a number or a boolean is a scalar).
bool holdsObject(const SampleShape& shape)
{
    return shape.firstKind == ValueKind::string || shape.firstKind == ValueKind::object ||
           shape.firstKind == ValueKind::array;
}

// A member's name in the code with its first letter upper-cased, as its Objective-C setter holds it.
struct SetterName
{
    std::string name;
    std::uint32_t field = noIndex;
    char first = 0; // the name's own first byte
};

// Objective-C names a property's setter "set" and the name with its first letter upper-cased: `name` and `Name`
// both make `setName:`, which the compiler synthesizes once. Each member whose setter an earlier member of the
// object already makes is said, with the earlier key; `scratch` is reused from object to object.
void sharedSetters(Findings& findings, const SampleTypes& types, const SampleShape& object, bool oneByOne,
                   std::vector<SetterName>& scratch)
{
    if (object.firstField == object.lastField)
        return;
    scratch.clear();
    for (const std::uint32_t at : types.fieldsOf(object)) {
        const SampleShape& member = types.shapes[at];
        if (!(oneByOne || member.inFirst) || member.firstKind == ValueKind::null)
            continue;
        const std::string_view key = types.key(at);
        std::string name = isSafeName(key) ? std::string(key) : safeName(key);
        const char first = name.empty() ? '\0' : name[0];
        scratch.push_back({setterForm(std::move(name)), at, first});
    }
    std::stable_sort(scratch.begin(), scratch.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    // Each later member beside the first of its setter, said in the order the members stand. Names alike to the
    // letter are said as a shared member name.
    std::vector<std::pair<std::uint32_t, std::size_t>> shared;
    for (std::size_t i = 1, run = 0; i < scratch.size(); ++i) {
        if (scratch[i].name != scratch[run].name)
            run = i;
        else if (scratch[i].first != scratch[run].first)
            shared.emplace_back(scratch[i].field, run);
    }
    std::sort(shared.begin(), shared.end());
    for (const auto& [later, run] : shared) {
        addFinding(findings, types, FindingKind::setterShared, types.keyPlace(later),
                   {std::string(types.key(later)), std::string(types.key(scratch[run].field)),
                    "set" + scratch[run].name + ":"});
    }
}

} // namespace

void addFinding(Findings& findings, const SampleTypes& types, FindingKind kind, const Place& place,
                std::vector<std::string> arguments, std::string file)
{
    if (findings.full()) {
        ++findings.omitted;
        return;
    }
    Finding finding;
    finding.kind = kind;
    finding.arguments = std::move(arguments);
    finding.path = types.path(place);
    finding.pointer = types.pointer(place);
    finding.offset = place.offset;
    finding.length = place.length;
    finding.file = std::move(file);
    findings.add(std::move(finding));
}

const char* kindWord(ValueKind kind)
{
    switch (kind) {
    case ValueKind::null:
        return "null";
    case ValueKind::boolean:
        return "boolean";
    case ValueKind::integer:
        return "integer";
    case ValueKind::fraction:
        return "fraction";
    case ValueKind::wide:
        return "number beyond 64 bits";
    case ValueKind::string:
        return "string";
    case ValueKind::object:
        return "object";
    case ValueKind::array:
        return "array";
    }
    return "";
}

std::vector<bool> typedOneByOne(const SampleTypes& types)
{
    std::vector<bool> oneByOne(types.shapes.size(), false);
    if (types.shapes.empty() || types.shapes[0].firstKind != ValueKind::array)
        return oneByOne;
    // Parents come before their children.
    for (std::size_t i = 1; i < types.shapes.size(); ++i) {
        const SampleShape& shape = types.shapes[i];
        oneByOne[i] = shape.member ? oneByOne[shape.parent] : shape.parent == 0;
    }
    return oneByOne;
}

std::vector<bool> replacedShapes(const SampleTypes& types)
{
    std::vector<bool> replaced(types.shapes.size(), false);
    if (types.repeatedKeys.empty())
        return replaced;
    for (std::size_t i = 1; i < types.shapes.size(); ++i) {
        const SampleShape& shape = types.shapes[i];
        replaced[i] = replaced[shape.parent] || shape.leftBehind;
    }
    return replaced;
}

void repeatedKeyFindings(const SampleTypes& types, const std::vector<bool>& replaced, Findings& findings)
{
    for (const RepeatedKey& repeat : types.repeatedKeys) {
        if (!replaced[repeat.field])
            addFinding(findings, types, FindingKind::keyRepeated, repeat.place, {std::string(types.key(repeat.field))});
    }
}

void defaultFindings(const SampleTypes& types, const std::vector<bool>& replaced, Language language, Findings& findings)
{
    const auto oneByOne = typedOneByOne(types);
    const std::string languageName = language == Language::swift ? "Swift" : "Objective-C";
    std::unordered_set<std::string_view> changed;
    // The member names of an object shape's code, counted; made only for shapes where a key is changed.
    std::unordered_map<std::uint32_t, std::unordered_map<std::string, std::uint32_t>> memberNames;
    const auto namesOf = [&](std::uint32_t parent) -> const auto&
    {
        const auto [entry, fresh] = memberNames.try_emplace(parent);
        if (fresh) {
            for (const std::uint32_t member : types.fieldsOf(types.shapes[parent])) {
                const std::string_view key = types.key(member);
                if (types.shapes[member].inFirst)
                    ++entry->second[isSafeName(key) ? std::string(key) : safeName(key)];
            }
        }
        return entry->second;
    };
    std::vector<SetterName> setters;
    for (std::size_t i = 0; i < types.shapes.size(); ++i) {
        const SampleShape& shape = types.shapes[i];
        if (!shape.kept || replaced[i])
            continue;
        const bool mergedHere = !oneByOne[i];
        if (language == Language::objectiveC)
            sharedSetters(findings, types, shape, oneByOne[i], setters);
        // As a member: is its key a name, is it there in every object, is it dropped.
        if (shape.parent != noIndex) {
            const auto id = static_cast<std::uint32_t>(i);
            const bool rootElement = !shape.member && oneByOne[i];
            const bool emitted = rootElement || (shape.member && (oneByOne[shape.parent] || shape.inFirst));
            if (emitted) {
                const std::string_view key = rootElement ? std::string_view("0") : types.key(id);
                const Place keyPlace = rootElement ? types.firstPlace(id) : types.keyPlace(id);
                // The name the code holds: a key that could add code of its own is mended, and said once.
                std::string mended;
                if (!isSafeName(key)) {
                    mended = safeName(key);
                    if (changed.insert(key).second)
                        addFinding(findings, types, FindingKind::keyChanged, keyPlace, {std::string(key), mended});
                    // Only the objects of merged types: a top-level array's elements are typed apart.
                    if (!rootElement && !oneByOne[shape.parent] && namesOf(shape.parent).at(mended) > 1)
                        addFinding(findings, types, FindingKind::memberNameShared, keyPlace,
                                   {std::string(key), mended});
                }
                const std::string_view name = mended.empty() ? key : std::string_view(mended);
                if (!isIdentifier(name, language))
                    addFinding(findings, types, FindingKind::keyNotIdentifier, keyPlace,
                               {std::string(key), languageName});
                else if (const PropertyName effect = storedPropertyName(name, language, holdsObject(shape));
                         effect == PropertyName::breaks)
                    addFinding(findings, types, FindingKind::keyReserved, keyPlace, {std::string(key), languageName});
                else if (effect == PropertyName::overridesMethod)
                    addFinding(findings, types, FindingKind::keyOverrides, keyPlace, {std::string(key)});
                else if (effect == PropertyName::declaresNothing)
                    addFinding(findings, types, FindingKind::keyDeclaresNothing, keyPlace, {std::string(key)});
            }
            if (shape.member) {
                const std::string_view key = types.key(id);
                const bool nullDropped = oneByOne[shape.parent] ? shape.has(ValueKind::null)
                                                                : shape.inFirst && shape.firstKind == ValueKind::null;
                if (nullDropped)
                    addFinding(findings, types, FindingKind::nullDropped, types.rarePlace(shape, RarePlace::null),
                               {std::string(key)});
                if (const Place& missing = types.rarePlace(shape, RarePlace::missing);
                    !oneByOne[shape.parent] && missing.known())
                    addFinding(findings, types, FindingKind::memberMissing, missing, {std::string(key)});
            }
        }
        // Members that later objects have and the first lacks never reach the type (their shapes are not kept).
        if (mergedHere && shape.objects > 1) {
            for (const std::uint32_t member : types.fieldsOf(shape)) {
                if (!types.shapes[member].inFirst)
                    addFinding(findings, types, FindingKind::memberNotInFirst, types.keyPlace(member),
                               {std::string(types.key(member))});
            }
        }
        // A whole number after a fraction decodes into the fraction's type: nothing is lost there.
        const bool harmless = shape.firstKind == ValueKind::fraction && shape.otherKind == ValueKind::integer;
        if (mergedHere && types.rarePlace(shape, RarePlace::other).known() && !harmless)
            addFinding(findings, types, FindingKind::kindDiffers, types.rarePlace(shape, RarePlace::other),
                       {kindWord(shape.firstKind), kindWord(shape.otherKind)});
        if (types.rarePlace(shape, RarePlace::wide).known())
            addFinding(findings, types, FindingKind::wideNumber, types.rarePlace(shape, RarePlace::wide), {});
        // Only the value the type is read from makes it Int; a later one decodes into whatever that gave.
        const Place& wholeLooking = types.rarePlace(shape, RarePlace::wholeLooking);
        if (wholeLooking.known() && (!mergedHere || wholeLooking.offset == shape.firstOffset))
            addFinding(findings, types, FindingKind::notInteger, wholeLooking, {});
        // An array member's element type, told by its first element (the root array's elements are members).
        if (i == 0 || !shape.has(ValueKind::array))
            continue;
        const std::string key = shape.member ? std::string(types.key(static_cast<std::uint32_t>(i))) : std::string();
        const SampleShape* element = shape.element != noIndex ? &types.shapes[shape.element] : nullptr;
        if (mergedHere) {
            if (shape.firstKind != ValueKind::array)
                continue;
            if (shape.firstArrayEmpty)
                addFinding(findings, types, FindingKind::elementUnknown, types.rarePlace(shape, RarePlace::empty),
                           {key, "empty"});
            else if (element && element->firstKind == ValueKind::null)
                addFinding(findings, types, FindingKind::elementUnknown, types.rarePlace(shape, RarePlace::nullFirst),
                           {key, "null first"});
            else if (element && element->firstKind == ValueKind::array)
                addFinding(findings, types, FindingKind::elementUnknown, types.rarePlace(shape, RarePlace::arrayFirst),
                           {key, "array first"});
            continue;
        }
        if (types.rarePlace(shape, RarePlace::empty).known())
            addFinding(findings, types, FindingKind::elementUnknown, types.rarePlace(shape, RarePlace::empty),
                       {key, "empty"});
        if (types.rarePlace(shape, RarePlace::nullFirst).known())
            addFinding(findings, types, FindingKind::elementUnknown, types.rarePlace(shape, RarePlace::nullFirst),
                       {key, "null first"});
        if (types.rarePlace(shape, RarePlace::arrayFirst).known())
            addFinding(findings, types, FindingKind::elementUnknown, types.rarePlace(shape, RarePlace::arrayFirst),
                       {key, "array first"});
    }
}

} // namespace morvex::detail

namespace morvex::detail {

void outputFindings(const std::vector<CodeModel>& models, const JSONTool& tool, const SampleTypes& types,
                    const ConversionChoices& choices, Findings& findings)
{
    outputFindings(models.size(), std::any_of(models.begin(), models.end(), declaresStoredProperty), tool,
                   models.front().className, types, choices, findings);
}

void outputFindings(std::size_t typeCount, bool storedProperty, const JSONTool& tool, std::string_view rootType,
                    const SampleTypes& types, const ConversionChoices& choices, Findings& findings)
{
    constexpr std::size_t typeLimit = 10'000;
    const Place root = types.shapes.empty() ? Place{} : types.firstPlace(0);
    if (typeCount > typeLimit)
        addFinding(findings, types, FindingKind::tooManyTypes, root, {std::to_string(typeCount)});
    // A prefix or root name may hold what a key may (a space, a digit first) and still make no type name.
    const Language language = choices.isSwift ? Language::swift : Language::objectiveC;
    const std::string languageName = choices.isSwift ? "Swift" : "Objective-C";
    if (!tool.classPrefix.empty() && !isIdentifier(tool.typeName("A"), language))
        addFinding(findings, types, FindingKind::configuration, root,
                   {"prefix-not-identifier", tool.classPrefix, languageName});
    else if (!isIdentifier(rootType, language))
        addFinding(findings, types, FindingKind::configuration, root,
                   {"name-not-identifier", std::string(rootType), languageName});
    if (!choices.isSwift || choices.base != "NSObject")
        return;
    // A Swift type on NSObject: a struct cannot inherit a class, and a class gains no initialiser for its
    // stored properties and no Codable conformance.
    if (!choices.isClass) {
        addFinding(findings, types, FindingKind::configuration, root, {"struct-on-class"});
        return;
    }
    if (storedProperty)
        addFinding(findings, types, FindingKind::configuration, root, {"class-on-nsobject"});
}

bool declaresStoredProperty(const CodeModel& model)
{
    return model.code.find("\n    var ") != std::string::npos;
}

} // namespace morvex::detail

namespace morvex {

std::string_view findingKindName(FindingKind kind)
{
    switch (kind) {
    case FindingKind::keyNotIdentifier:
        return "key-not-identifier";
    case FindingKind::keyReserved:
        return "key-reserved";
    case FindingKind::keyOverrides:
        return "key-overrides-nsobject";
    case FindingKind::keyDeclaresNothing:
        return "key-declares-nothing";
    case FindingKind::setterShared:
        return "setter-shared";
    case FindingKind::keyChanged:
        return "key-changed";
    case FindingKind::memberNameShared:
        return "member-name-shared";
    case FindingKind::keyRepeated:
        return "key-repeated";
    case FindingKind::nullDropped:
        return "null-dropped";
    case FindingKind::elementUnknown:
        return "element-type-unknown";
    case FindingKind::memberNotInFirst:
        return "member-not-in-first";
    case FindingKind::memberMissing:
        return "member-missing";
    case FindingKind::kindDiffers:
        return "kind-differs";
    case FindingKind::typeNameShared:
        return "type-name-shared";
    case FindingKind::fileReplaced:
        return "file-replaced";
    case FindingKind::fileNameCase:
        return "file-name-case";
    case FindingKind::wideNumber:
        return "number-beyond-64-bits";
    case FindingKind::notInteger:
        return "not-an-integer";
    case FindingKind::tooManyTypes:
        return "too-many-types";
    case FindingKind::configuration:
        return "configuration";
    }
    return "";
}

} // namespace morvex
