#include "Report.h"

#include "morvex/Identifier.h"
#include "morvex/JSONString.h"

#include <ostream>

namespace morvex {

namespace {

// Appended, not prefixed: gcc 12 warns falsely (-Wrestrict) on `"\"" + std::string`.
std::string quoted(std::string_view text)
{
    std::string out = "\"";
    out += printable(text);
    out += '"';
    return out;
}

const std::string& argument(const Finding& finding, std::size_t index)
{
    static const std::string none;
    return index < finding.arguments.size() ? finding.arguments[index] : none;
}

std::string jsonString(std::string_view text)
{
    std::string out;
    appendJSONString(out, text);
    return out;
}

// "a Swift identifier", "an Objective-C identifier".
std::string anIdentifier(const std::string& language)
{
    return (language.starts_with('O') ? "an " : "a ") + language + " identifier";
}

} // namespace

std::string findingMessage(const Finding& finding)
{
    const auto& a0 = argument(finding, 0);
    const auto& a1 = argument(finding, 1);
    switch (finding.kind) {
    case FindingKind::keyNotIdentifier:
        return "key " + quoted(a0) + " is not " + anIdentifier(a1) + ": the code does not compile";
    case FindingKind::keyReserved:
        return "key " + quoted(a0) + " is a reserved name in " + a1 + ": the code does not compile";
    case FindingKind::keyOverrides:
        return "key " + quoted(a0) +
               " becomes a property that overrides NSObject's method of that name: the code compiles, but what calls "
               "that method gets the property instead";
    case FindingKind::keyDeclaresNothing:
        return "key " + quoted(a0) +
               " names no property of a number or boolean in Objective-C: the code compiles with a warning, but the "
               "member is lost";
    case FindingKind::keyChanged:
        return "key " + quoted(a0) + " is written as " + quoted(a1);
    case FindingKind::memberNameShared:
        return "key " + quoted(a0) + " is written as " + quoted(a1) +
               ", the name of another member: the code does not compile";
    case FindingKind::setterShared:
        return "key " + quoted(a0) + " and key " + quoted(a1) + " make one setter, " + printable(argument(finding, 2)) +
               ", so one of the two values is lost";
    case FindingKind::keyRepeated:
        return "key " + quoted(a0) + " stands more than once in one object: decoders differ on which value they read";
    case FindingKind::nullDropped:
        return "member " + quoted(a0) + " is null and left out";
    case FindingKind::elementUnknown: {
        const std::string why = a1 == "empty"        ? "the array is empty"
                                : a1 == "null first" ? "its first element is null"
                                                     : "its first element is an array";
        return "the element type of " + quoted(a0) + " cannot be told (" + why +
               "): it names a type that is never generated";
    }
    case FindingKind::memberNotInFirst:
        return "member " + quoted(a0) + " is not in the first element and is left out";
    case FindingKind::memberMissing:
        return "this element lacks member " + quoted(a0) + " of the first: decoding it fails";
    case FindingKind::kindDiffers:
        return "a later value is " + a1 + " where the first is " + a0 + ": it is typed by the first";
    case FindingKind::typeNameShared: {
        const std::string stem = finding.file.substr(0, finding.file.rfind('.'));
        return "types " + printable(a0) + " and " + printable(a0) + " share the file name " + printable(stem) +
               ": the later one replaces the earlier (the earlier at " + printable(a1) + ")";
    }
    case FindingKind::fileReplaced:
        return "types " + printable(a0) + " and " + printable(a1) + " share the file " + printable(finding.file) +
               ": the later one replaces the earlier";
    case FindingKind::fileNameCase:
        return argument(finding, 3) == "normalisation"
                   ? "types " + printable(a0) + " and " + printable(a1) +
                         " have file names that differ only in Unicode normalisation (" +
                         printable(argument(finding, 2)) + ", " + printable(finding.file) +
                         ") and collide on file systems that normalise names"
                   : "types " + printable(a0) + " and " + printable(a1) +
                         " have file names that differ only in letter case (" + printable(argument(finding, 2)) + ", " +
                         printable(finding.file) + ") and collide on case-insensitive file systems";
    case FindingKind::wideNumber:
        return "a number beyond 64 bits, typed as floating point";
    case FindingKind::notInteger:
        return "a number that is not an integer, typed Int";
    case FindingKind::tooManyTypes:
        return a0 + " types are generated (more than 10,000)";
    case FindingKind::configuration:
        if (a0 == "prefix-not-identifier")
            return "the prefix " + quoted(a1) + " makes type names that are not " + argument(finding, 2) +
                   " identifiers: the code does not compile";
        if (a0 == "name-not-identifier")
            return "the root type name " + quoted(a1) + " is not " + anIdentifier(argument(finding, 2)) +
                   ": the code does not compile";
        return a0 == "struct-on-class" ? "a Swift struct cannot inherit the class NSObject: the code does not compile"
                                       : "a Swift class on NSObject with stored properties has no initialiser and "
                                         "does not conform to Codable: the code does not compile";
    }
    return {};
}

void printFindings(const Findings& findings, std::string_view program, std::ostream& err)
{
    constexpr std::size_t shown = 50;
    for (std::size_t i = 0; i < findings.kept.size() && i < shown; ++i) {
        const Finding& finding = findings.kept[i];
        err << program << ": warning: " << printable(finding.path) << ": " << findingMessage(finding) << '\n';
    }
    if (findings.total() > shown)
        err << program << ": warning: and " << findings.total() - shown << " more\n";
    if (findings.total() > 0)
        err << program << ": " << findings.total() << (findings.total() == 1 ? " finding" : " findings")
            << " (--report FILE writes them as JSON)\n";
}

std::string reportText(const Findings& findings, std::string_view input)
{
    std::string text = "{\n  \"schema\": \"morvex-findings\",\n  \"version\": " + std::to_string(reportVersion) +
                       ",\n  \"input\": " + jsonString(input) + ",\n  \"total\": " + std::to_string(findings.total()) +
                       ",\n  \"omitted\": " + std::to_string(findings.omitted) + ",\n  \"findings\": [";
    bool first = true;
    for (const Finding& finding : findings.kept) {
        text += first ? "\n" : ",\n";
        first = false;
        text += "    {\"kind\": " + jsonString(findingKindName(finding.kind)) + ", \"arguments\": [";
        for (std::size_t i = 0; i < finding.arguments.size(); ++i)
            text += (i ? ", " : "") + jsonString(finding.arguments[i]);
        text += "], \"path\": " + jsonString(finding.path) + ", \"pointer\": " + jsonString(finding.pointer) +
                ", \"offset\": " + std::to_string(finding.offset) + ", \"length\": " + std::to_string(finding.length) +
                ", \"message\": " + jsonString(findingMessage(finding));
        if (!finding.file.empty())
            text += ", \"file\": " + jsonString(finding.file);
        text += "}";
    }
    text += first ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

} // namespace morvex
