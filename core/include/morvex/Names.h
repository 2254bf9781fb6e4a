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

/// What a stored property of the default rules named `key`, an identifier, comes to.
enum class PropertyName
{
    fine,
    breaks,          // the code does not compile
    overridesMethod, // Objective-C: it compiles, and overrides a method of NSObject (`hash`, `class`, `self`)
    declaresNothing  // Objective-C: a number's or boolean's property that names nothing: clang warns, and drops it
};

/// As swiftc 6.3 and clang 14 read the code. Swift: a keyword other than `await` and `open` (names in a
/// declaration) breaks it, and `CodingKeys`, which the synthesized conformance declares; a value never hides a type
/// named alike, so `Codable` and the base are fine. Objective-C: a keyword, a macro of the C library or Foundation,
/// a keyword of clang's own (`__weak`, `_Atomic`), a member ARC keeps for itself (`retain`), or under ARC an object
/// property in the new/copy/mutableCopy/alloc/init families breaks it; `id`, the other type names and `__typename`
/// are fine. `objectTyped`: the property holds an object (a string, an object or an array), not a number or a
/// boolean; for a number or a boolean a qualifier (`const`, `__weak`, `_Nullable`) or a macro that stands for one or
/// for nothing (`IBOutlet`) leaves the property without a name, which clang takes with a warning.
PropertyName storedPropertyName(std::string_view key, Language language, bool objectTyped);

/// `name` with a first ASCII letter upper-cased, as Objective-C's setter holds it: `name` and `Name` make one
/// setter, `setName:`.
std::string setterForm(std::string name);

/// lowerCamelCase of the runs of characters that both languages take in names, `$` aside (`first-name` →
/// `firstName`), `_` before a leading character that cannot begin a name (a digit, a combining mark); `_` when it
/// has none.
std::string lowerCamel(std::string_view key);

} // namespace morvex
