#pragma once

#include <string>
#include <string_view>

namespace morvex {

enum class Language
{
    swift,
    objectiveC
};

/// True when `key` can stand as a member name in `language` as it is, as swiftc and clang read names: ASCII
/// letters, digits (not first) and `_`; `$` (Swift: not first); and beyond ASCII the name characters (see
/// `isNameCharacter`) that C11's Annex D lists, combining marks not first. Swift also refuses U+FFFC and U+FFFD.
bool isIdentifier(std::string_view key, Language language);

/// How a name that is an identifier still cannot stand as a member name.
enum class Reserved
{
    no,
    keyword,  // a keyword of the language (Objective-C: `id` too)
    reliedOn, // a name the generated code relies on (Swift), or a member of NSObject (Objective-C)
    arcFamily // Objective-C: a name in ARC's new/copy/mutableCopy/alloc/init families
};

/// `base` and `jsonValueType` are names the generated code relies on as well.
Reserved reservedWord(std::string_view key, Language language, std::string_view base = {},
                      std::string_view jsonValueType = {});

/// True when `key`, an identifier, keeps a stored property of the default rules from compiling. Swift: a keyword
/// other than `await` and `open` (names in a declaration), or `CodingKeys`, which the synthesized conformance
/// declares; a member's value never hides a type named alike, so `Codable` and the base are fine. Objective-C: any
/// reserved word.
bool breaksStoredProperty(std::string_view key, Language language, std::string_view base);

/// lowerCamelCase of the runs of characters that both languages take in names, `$` aside (`first-name` →
/// `firstName`), `_` before a leading character that cannot begin a name (a digit, a combining mark); `_` when it
/// has none.
std::string lowerCamel(std::string_view key);

} // namespace morvex
