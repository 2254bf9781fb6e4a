#include "morvex/Identifier.h"

#include <cstdio>
#include <unicode/uchar.h>
#include <unicode/utf8.h>
#include <vector>

namespace morvex {

namespace {

bool isAsciiNameCharacter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           c == ' ' || c == '-' || c == '.';
}

// Calls `each(start, length, codePoint)` per character; a malformed byte comes as one byte with a negative code.
template <typename Each>
void forEachCharacter(std::string_view text, Each each)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    int32_t i = 0;
    while (i < length) {
        const int32_t start = i;
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            i = start + 1;
        each(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start), c);
    }
}

bool isUnprintable(UChar32 c)
{
    const auto mask = U_GET_GC_MASK(c);
    return (mask & (U_GC_CC_MASK | U_GC_CF_MASK | U_GC_ZL_MASK | U_GC_ZP_MASK)) != 0;
}

} // namespace

bool isNameCharacter(char32_t character)
{
    if (character < 0x80)
        return isAsciiNameCharacter(static_cast<unsigned char>(character));
    const auto mask = U_GET_GC_MASK(static_cast<UChar32>(character));
    return (mask & (U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK | U_GC_SO_MASK | U_GC_PC_MASK)) != 0;
}

bool isSafeName(std::string_view key)
{
    std::size_t i = 0;
    while (i < key.size() && isAsciiNameCharacter(static_cast<unsigned char>(key[i])))
        ++i;
    if (i == key.size())
        return true;
    bool safe = true;
    forEachCharacter(key.substr(i), [&](std::size_t, std::size_t, UChar32 c) {
        safe = safe && c >= 0 && isNameCharacter(static_cast<char32_t>(c));
    });
    return safe;
}

std::string safeName(std::string_view key)
{
    if (isSafeName(key))
        return std::string(key);
    std::string out;
    out.reserve(key.size());
    forEachCharacter(key, [&](std::size_t start, std::size_t length, UChar32 c) {
        if (c >= 0 && isNameCharacter(static_cast<char32_t>(c)))
            out.append(key.substr(start, length));
        else
            out += '_';
    });
    return out;
}

bool isPrintable(std::string_view text)
{
    bool printable = true;
    forEachCharacter(
        text, [&](std::size_t, std::size_t, UChar32 c) { printable = printable && c >= 0 && !isUnprintable(c); });
    return printable;
}

bool isBaseList(std::string_view text, bool objectiveC)
{
    std::vector<UChar32> characters;
    bool valid = true;
    forEachCharacter(text, [&](std::size_t, std::size_t, UChar32 c) {
        valid = valid && c >= 0;
        characters.push_back(c);
    });
    if (!valid)
        return false;
    std::size_t i = 0;
    const std::size_t end = characters.size();
    auto skipSpaces = [&] {
        while (i < end && characters[i] == ' ')
            ++i;
    };
    auto identifier = [&] {
        const std::size_t start = i;
        while (i < end && characters[i] != ' ' && characters[i] != '-' && characters[i] != '.' &&
               isNameCharacter(static_cast<char32_t>(characters[i])))
            ++i;
        return i > start && !(characters[start] >= '0' && characters[start] <= '9');
    };
    // identifier ((spaces | spaces [,&] spaces) identifier)*
    auto list = [&] {
        skipSpaces();
        if (!identifier())
            return false;
        for (;;) {
            const std::size_t before = i;
            skipSpaces();
            if (i < end && (characters[i] == ',' || characters[i] == '&')) {
                ++i;
                skipSpaces();
            } else if (i == before || i == end || characters[i] == '<' || characters[i] == '>') {
                return true;
            }
            if (!identifier())
                return false;
        }
    };
    if (!list())
        return false;
    skipSpaces();
    if (objectiveC && i < end && characters[i] == '<') {
        ++i;
        if (!list())
            return false;
        skipSpaces();
        if (i == end || characters[i] != '>')
            return false;
        ++i;
        skipSpaces();
    }
    return i == end;
}

std::string printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    forEachCharacter(text, [&](std::size_t start, std::size_t length, UChar32 c) {
        char escape[16];
        if (c < 0)
            std::snprintf(escape, sizeof escape, "\\x{%02X}", static_cast<unsigned char>(text[start]));
        else if (isUnprintable(c))
            std::snprintf(escape, sizeof escape, "\\u{%X}", static_cast<unsigned>(c));
        else {
            out.append(text.substr(start, length));
            return;
        }
        out += escape;
    });
    return out;
}

} // namespace morvex
