#pragma once

#include <string>
#include <string_view>

namespace morvex {

/// True for a character that a key may keep where it becomes a name in the code (a member, type or file name, an
/// #import path, a mapping entry): a letter, mark, number, other symbol or connector by Unicode general
/// category, or "$", a space, "-" or ".". Everything else could end a declaration or a string and add code.
bool isNameCharacter(char32_t character);

/// `key` with each character that may not appear in a name (and each byte that is not valid UTF-8) written as
/// "_". A key made only of name characters is returned unchanged.
std::string safeName(std::string_view key);

/// True when safeName(`key`) would return `key` unchanged.
bool isSafeName(std::string_view key);

/// `text` fit to print in a message: control and format characters, line and paragraph separators are written as
/// "\u{1B}", and bytes that are not valid UTF-8 as "\x{FF}", so that a key cannot drive a terminal.
std::string printable(std::string_view text);

/// True when printable(`text`) would return `text` unchanged: valid UTF-8 without control or format characters
/// or line and paragraph separators, so it cannot end the line (or the comment) it is written into.
bool isPrintable(std::string_view text);

/// True when `text` may stand after the colon of a type's opening line: identifiers joined by ",", "&" and
/// spaces, and, for Objective-C, after them one protocol list in "<" and ">" of the same form.
bool isBaseList(std::string_view text, bool objectiveC);

} // namespace morvex
