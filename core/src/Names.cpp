#include "morvex/Names.h"

#include <algorithm>
#include <array>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace morvex {

namespace {

constexpr std::array swiftKeywords = {
    "Any",         "Self",     "Type",        "as",        "associatedtype", "await",
    "break",       "case",     "catch",       "class",     "continue",       "default",
    "defer",       "deinit",   "do",          "else",      "enum",           "extension",
    "fallthrough", "false",    "fileprivate", "for",       "func",           "guard",
    "if",          "import",   "in",          "init",      "inout",          "internal",
    "is",          "let",      "nil",         "open",      "operator",       "precedencegroup",
    "private",     "protocol", "public",      "repeat",    "rethrows",       "return",
    "self",        "static",   "struct",      "subscript", "super",          "switch",
    "throw",       "throws",   "true",        "try",       "typealias",      "var",
    "where",       "while",    "Protocol"};

constexpr std::array swiftReliedOn = {"Codable",    "Decodable",     "Encodable", "CodingKey",
                                      "CodingKeys", "DecodingError", "Foundation"};

constexpr std::array objcKeywords = {
    "auto",     "break",  "case",     "char",   "const",       "continue", "default", "do",     "double",  "else",
    "enum",     "extern", "float",    "for",    "goto",        "if",       "inline",  "int",    "long",    "register",
    "restrict", "return", "short",    "signed", "sizeof",      "static",   "struct",  "switch", "typedef", "union",
    "unsigned", "void",   "volatile", "while",  "_Bool",       "_Complex", "id",      "self",   "super",   "nil",
    "Nil",      "YES",    "NO",       "SEL",    "BOOL",        "Class",    "IMP",     "in",     "out",     "inout",
    "bycopy",   "byref",  "oneway",   "NULL",   "instancetype"};

// GNU keywords, and macros that the headers the code imports define as a value or as nothing.
constexpr std::array objcMoreKeywords = {"asm",   "typeof", "bool",          "true", "false",    "TRUE",    "FALSE",
                                         "errno", "linux",  "static_assert", "unix", "IBAction", "IBOutlet"};

constexpr std::array nsObjectMembers = {"description", "debugDescription", "hash",        "class",  "superclass",
                                        "zone",        "isProxy",          "retainCount", "retain", "release",
                                        "autorelease", "dealloc",          "finalize",    "isa"};

constexpr std::array arcFamilies = {"alloc", "copy", "mutableCopy", "new", "init"};

template <std::size_t N>
bool among(const std::array<const char*, N>& words, std::string_view key)
{
    return std::any_of(words.begin(), words.end(), [&](const char* word) { return key == word; });
}

// The family name followed by the end or by anything but a lower-case letter.
bool inArcFamily(std::string_view key)
{
    return std::ranges::any_of(arcFamilies, [key](std::string_view family) {
        return key.substr(0, family.size()) == family &&
               (key.size() == family.size() || !(key[family.size()] >= 'a' && key[family.size()] <= 'z'));
    });
}

template <typename Visit>
bool eachCodePoint(std::string_view text, Visit&& visit)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t at = 0; at < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, at, length, c);
        if (c < 0 || !visit(c))
            return false;
    }
    return true;
}

} // namespace

bool isIdentifier(std::string_view key, Language)
{
    if (key.empty())
        return false;
    bool first = true;
    return eachCodePoint(key, [&](UChar32 c) {
        const bool ok =
            c == '_' || (first ? u_hasBinaryProperty(c, UCHAR_XID_START) : u_hasBinaryProperty(c, UCHAR_XID_CONTINUE));
        first = false;
        return ok;
    });
}

Reserved reservedWord(std::string_view key, Language language, std::string_view base, std::string_view jsonValueType)
{
    if (language == Language::swift) {
        if (among(swiftKeywords, key) || key == "_")
            return Reserved::keyword;
        if (among(swiftReliedOn, key) || (!base.empty() && key == base) ||
            (!jsonValueType.empty() && key == jsonValueType))
            return Reserved::reliedOn;
        return Reserved::no;
    }
    // C keeps names that begin with "__" or "_" and a capital for its own keywords and macros (_Atomic, __asm).
    const bool implementationName =
        key.size() > 1 && key[0] == '_' && (key[1] == '_' || (key[1] >= 'A' && key[1] <= 'Z'));
    if (among(objcKeywords, key) || among(objcMoreKeywords, key) || implementationName)
        return Reserved::keyword;
    if (among(nsObjectMembers, key) || (!base.empty() && key == base))
        return Reserved::reliedOn;
    if (inArcFamily(key))
        return Reserved::arcFamily;
    return Reserved::no;
}

std::string lowerCamel(std::string_view key)
{
    std::string out;
    bool newRun = false;
    eachCodePoint(key, [&](UChar32 c) {
        if (!(c == '_' || u_hasBinaryProperty(c, UCHAR_XID_CONTINUE))) {
            newRun = !out.empty();
            return true;
        }
        if (newRun)
            c = u_toupper(c);
        newRun = false;
        std::uint8_t buffer[4];
        int32_t length = 0;
        U8_APPEND_UNSAFE(buffer, length, static_cast<std::uint32_t>(c));
        out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
        return true;
    });
    if (out.empty())
        return "_";
    // A digit or a mark cannot begin a name.
    UChar32 first = 0;
    U8_GET_UNSAFE(reinterpret_cast<const std::uint8_t*>(out.data()), 0, first);
    if (first != '_' && !u_hasBinaryProperty(first, UCHAR_XID_START))
        out.insert(out.begin(), '_');
    return out;
}

} // namespace morvex
