#include "morvex/Names.h"

#include "morvex/Identifier.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <unicode/uchar.h>
#include <unicode/utf8.h>
#include <utility>

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

// Names that are keywords, or macros once the code's imports are read: a property of that name does not compile
// (clang 14 against GNUstep, with and without ARC). A few are so on Apple's systems only: TRUE, FALSE, `__block`
// (blocks are on there), `__unused`, `__dead2`, `__nonnull` and the other macros of their headers.
constexpr std::array objcBreaking = {
    "auto", "break", "case", "char", "const", "continue", "default", "do", "double", "else", "enum", "extern", "float",
    "for", "goto", "if", "inline", "int", "long", "register", "restrict", "return", "short", "signed", "sizeof",
    "static", "struct", "switch", "typedef", "union", "unsigned", "void", "volatile", "while", "_Bool", "_Complex",
    "nil", "Nil", "YES", "NO", "NULL", "TRUE", "FALSE", "asm", "typeof", "bool", "true", "false", "errno", "linux",
    "unix", "static_assert", "IBAction", "IBOutlet",
    // The C library's and Foundation's constants.
    "EOF", "BUFSIZ", "FILENAME_MAX", "FOPEN_MAX", "TMP_MAX", "L_tmpnam", "SEEK_SET", "SEEK_CUR", "SEEK_END",
    "EXIT_SUCCESS", "EXIT_FAILURE", "RAND_MAX", "MB_CUR_MAX", "MB_LEN_MAX", "CHAR_BIT", "CHAR_MIN", "CHAR_MAX",
    "SCHAR_MIN", "SCHAR_MAX", "UCHAR_MAX", "SHRT_MIN", "SHRT_MAX", "USHRT_MAX", "INT_MIN", "INT_MAX", "UINT_MAX",
    "LONG_MIN", "LONG_MAX", "ULONG_MAX", "LLONG_MIN", "LLONG_MAX", "ULLONG_MAX", "INT8_MIN", "INT8_MAX", "INT16_MIN",
    "INT16_MAX", "INT32_MIN", "INT32_MAX", "INT64_MIN", "INT64_MAX", "UINT8_MAX", "UINT16_MAX", "UINT32_MAX",
    "UINT64_MAX", "INTPTR_MIN", "INTPTR_MAX", "UINTPTR_MAX", "INTMAX_MIN", "INTMAX_MAX", "UINTMAX_MAX", "SIZE_MAX",
    "PTRDIFF_MIN", "PTRDIFF_MAX", "WCHAR_MIN", "WCHAR_MAX", "FLT_MIN", "FLT_MAX", "FLT_EPSILON", "DBL_MIN", "DBL_MAX",
    "DBL_EPSILON", "HUGE_VAL", "INFINITY", "NAN", "FP_NAN", "FP_INFINITE", "FP_ZERO", "FP_NORMAL", "FP_SUBNORMAL",
    "MATH_ERRNO", "math_errhandling", "M_PI", "M_E", "EDOM", "ERANGE", "EILSEQ", "EINVAL", "ENOENT", "SIGINT",
    "SIGTERM", "SIGKILL", "SIG_DFL", "SIG_IGN", "SIG_ERR", "LC_ALL", "LC_NUMERIC", "CLOCKS_PER_SEC", "TIME_UTC",
    "PATH_MAX", "NAME_MAX", "MAXPATHLEN", "NSIntegerMax", "NSIntegerMin", "NSUIntegerMax", "CGFLOAT_MAX",
    "NS_ASSUME_NONNULL_BEGIN", "NS_ASSUME_NONNULL_END", "NS_DURING", "NS_HANDLER", "NS_ENDHANDLER",
    // C keeps names that begin with "__", or "_" and a capital, for itself: these are clang's keywords and the
    // system headers' macros among them, and "__" names ending in "__" (`__x86_64__`, `__attribute__`) below.
    // Any other such name compiles (`__typename`, `_Id`).
    "_Alignas", "_Alignof", "_Atomic", "_Generic", "_Imaginary", "_Noreturn", "_Static_assert", "_Thread_local",
    "_Nonnull", "_Nullable", "_Null_unspecified", "_Nullable_result", "_Pragma", "_Decimal32", "_Decimal64",
    "_Decimal128", "_Float16", "_ExtInt", "_BitInt", "_Sat", "_Fract", "_Accum", "_IOFBF", "_IOLBF", "_IONBF", "_LP64",
    "__attribute", "__asm", "__typeof", "__inline", "__restrict", "__signed", "__const", "__volatile", "__real",
    "__imag", "__thread", "__alignof", "__int128", "__fp16", "__bf16", "__float128", "__complex", "__auto_type",
    "__bridge", "__bridge_transfer", "__bridge_retained", "__covariant", "__contravariant", "__kindof", "__weak",
    "__strong", "__block", "__autoreleasing", "__unsafe_unretained", "__nonnull", "__nullable", "__null_unspecified",
    "__objc_yes", "__objc_no", "__has_feature", "__has_extension", "__has_attribute", "__has_builtin", "__has_include",
    "__is_identifier", "__unused", "__dead2", "__pure2", "__BEGIN_DECLS", "__END_DECLS", "__THROW", "__wur", "__cdecl",
    "__stdcall", "__fastcall", "__thiscall", "__vectorcall", "__regcall", "__pascal"};

// Qualifiers and specifiers, and macros that stand for one or for nothing: after a number's or a boolean's type
// (`NSInteger const;`) they leave the property without a name. clang 14 warns "declaration does not declare
// anything" and compiles the rest, with and without ARC; after an object's type (`NSString *const;`) they break it.
constexpr std::array objcQualifiers = {
    "const",         "volatile",          "IBOutlet",         "_Atomic",   "_Noreturn",       "_Nonnull",
    "_Nullable",     "_Null_unspecified", "_Nullable_result", "__const",   "__volatile",      "__const__",
    "__volatile__",  "__kindof",          "__weak",           "__strong",  "__autoreleasing", "__unsafe_unretained",
    "__BEGIN_DECLS", "__END_DECLS",       "__THROW",          "__wur",     "__cdecl",         "__stdcall",
    "__fastcall",    "__thiscall",        "__vectorcall",     "__regcall", "__pascal"};

// Keywords that only name types or mark protocol parameters: a property of that name compiles (`self` aside,
// which overrides NSObject's method).
constexpr std::array objcTypeWords = {"id", "self", "super", "SEL",    "BOOL",  "Class",  "IMP",
                                      "in", "out",  "inout", "bycopy", "byref", "oneway", "instancetype"};

constexpr std::array nsObjectMembers = {"description", "debugDescription", "hash",        "class",  "superclass",
                                        "zone",        "isProxy",          "retainCount", "retain", "release",
                                        "autorelease", "dealloc",          "finalize",    "isa"};
// Of those, ARC keeps these for itself: a property of that name does not compile under it.
constexpr std::array arcOwnMembers = {"retain", "release", "autorelease", "retainCount", "dealloc"};
// Methods of NSObject that a property of the same name overrides, besides its members above.
constexpr std::array nsObjectMethods = {"self", "copy", "mutableCopy", "init"};

constexpr std::array arcFamilies = {"alloc", "copy", "mutableCopy", "new", "init"};

template <std::size_t N>
bool among(const std::array<const char*, N>& words, std::string_view key)
{
    return std::any_of(words.begin(), words.end(), [&](const char* word) { return key == word; });
}

// The long list, sorted once at compile time: every member of every object is looked up in it.
constexpr auto objcBreakingSorted = [] {
    std::array<std::string_view, objcBreaking.size()> words{};
    std::copy(objcBreaking.begin(), objcBreaking.end(), words.begin());
    std::sort(words.begin(), words.end());
    return words;
}();

bool breaksObjectiveC(std::string_view key)
{
    return std::binary_search(objcBreakingSorted.begin(), objcBreakingSorted.end(), key);
}

// The family name followed by the end or by anything but a lower-case letter.
bool inArcFamily(std::string_view key)
{
    return std::ranges::any_of(arcFamilies, [key](std::string_view family) {
        return key.substr(0, family.size()) == family &&
               (key.size() == family.size() || !(key[family.size()] >= 'a' && key[family.size()] <= 'z'));
    });
}

// Beyond ASCII both compilers take the characters of C11's Annex D in names, some of them not first: Swift's
// grammar lists the same ranges, and clang follows them in C and Objective-C. Measured against swiftc 6.3 and
// clang 14 over every letter, mark, number, other symbol and connector.
constexpr std::array<std::pair<char32_t, char32_t>, 45> nameRanges = {{
    {0xA8, 0xA8},       {0xAA, 0xAA},       {0xAD, 0xAD},       {0xAF, 0xAF},       {0xB2, 0xB5},
    {0xB7, 0xBA},       {0xBC, 0xBE},       {0xC0, 0xD6},       {0xD8, 0xF6},       {0xF8, 0xFF},
    {0x100, 0x167F},    {0x1681, 0x180D},   {0x180F, 0x1FFF},   {0x200B, 0x200D},   {0x202A, 0x202E},
    {0x203F, 0x2040},   {0x2054, 0x2054},   {0x2060, 0x206F},   {0x2070, 0x218F},   {0x2460, 0x24FF},
    {0x2776, 0x2793},   {0x2C00, 0x2DFF},   {0x2E80, 0x2FFF},   {0x3004, 0x3007},   {0x3021, 0x302F},
    {0x3031, 0x303F},   {0x3040, 0xD7FF},   {0xF900, 0xFD3D},   {0xFD40, 0xFDCF},   {0xFDF0, 0xFE44},
    {0xFE47, 0xFFFD},   {0x10000, 0x1FFFD}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD}, {0x40000, 0x4FFFD},
    {0x50000, 0x5FFFD}, {0x60000, 0x6FFFD}, {0x70000, 0x7FFFD}, {0x80000, 0x8FFFD}, {0x90000, 0x9FFFD},
    {0xA0000, 0xAFFFD}, {0xB0000, 0xBFFFD}, {0xC0000, 0xCFFFD}, {0xD0000, 0xDFFFD}, {0xE0000, 0xEFFFD},
}};
// Combining marks, which cannot begin a name.
constexpr std::array<std::pair<char32_t, char32_t>, 4> laterRanges = {
    {{0x300, 0x36F}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F}}};

template <std::size_t N>
bool inRanges(const std::array<std::pair<char32_t, char32_t>, N>& ranges, char32_t c)
{
    const auto after = std::upper_bound(ranges.begin(), ranges.end(), c,
                                        [](char32_t value, const auto& range) { return value < range.first; });
    return after != ranges.begin() && c <= std::prev(after)->second;
}

bool identifierCharacter(UChar32 c, bool first, Language language)
{
    if (c < 0x80) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_')
            return true;
        if (c >= '0' && c <= '9')
            return !first;
        // clang takes "$" anywhere, Swift after the first character.
        return c == '$' && (language == Language::objectiveC || !first);
    }
    // The ranges hold format characters too (the bidirectional overrides); no name keeps those.
    if (c < 0 || !isNameCharacter(static_cast<char32_t>(c)))
        return false;
    if (language == Language::swift && (c == 0xFFFC || c == 0xFFFD))
        return false;
    const auto character = static_cast<char32_t>(c);
    return inRanges(nameRanges, character) && !(first && inRanges(laterRanges, character));
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

bool isIdentifier(std::string_view key, Language language)
{
    if (key.empty())
        return false;
    bool first = true;
    return eachCodePoint(key, [&](UChar32 c) {
        const bool ok = identifierCharacter(c, first, language);
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
    // The faithful rules rename every name C keeps for itself, whether or not a header of this platform takes it.
    const bool implementationName =
        key.size() > 1 && key[0] == '_' && (key[1] == '_' || (key[1] >= 'A' && key[1] <= 'Z'));
    if (breaksObjectiveC(key) || among(objcTypeWords, key) || implementationName)
        return Reserved::keyword;
    if (among(nsObjectMembers, key) || (!base.empty() && key == base))
        return Reserved::reliedOn;
    if (inArcFamily(key))
        return Reserved::arcFamily;
    return Reserved::no;
}

PropertyName storedPropertyName(std::string_view key, Language language, bool objectTyped)
{
    if (language == Language::swift) {
        const bool breaks = (reservedWord(key, language) == Reserved::keyword && key != "await" && key != "open") ||
                            key == "CodingKeys";
        return breaks ? PropertyName::breaks : PropertyName::fine;
    }
    // Predefined macros and keywords are spelt `__x86_64__`, `__attribute__`.
    const bool underscored = key.size() > 4 && key.starts_with("__") && key.ends_with("__");
    if (!objectTyped && among(objcQualifiers, key))
        return PropertyName::declaresNothing;
    if (breaksObjectiveC(key) || underscored || among(arcOwnMembers, key) || (objectTyped && inArcFamily(key)))
        return PropertyName::breaks;
    if (among(nsObjectMembers, key) || among(nsObjectMethods, key))
        return PropertyName::overridesMethod;
    return PropertyName::fine;
}

std::string setterForm(std::string name)
{
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

std::string lowerCamel(std::string_view key)
{
    std::string out;
    bool newRun = false;
    eachCodePoint(key, [&](UChar32 c) {
        // "$" splits runs too: a name without it stands in both languages.
        if (c == '$' || !identifierCharacter(c, false, Language::swift)) {
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
    if (!identifierCharacter(first, true, Language::swift))
        out.insert(out.begin(), '_');
    return out;
}

} // namespace morvex
