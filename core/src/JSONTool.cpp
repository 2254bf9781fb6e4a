#include "morvex/JSONTool.h"

#include "morvex/Identifier.h"

#include <memory>
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace morvex {

namespace {

bool isAscii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upperFirstWithICU(std::string_view text)
{
    const icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    // fromUTF8 replaces malformed bytes; such text is left alone rather than altered.
    std::string roundTrip;
    unicode.toUTF8String(roundTrip);
    if (roundTrip != text)
        return std::string(text);

    // Building a break iterator loads rule data; one per thread is kept.
    thread_local std::unique_ptr<icu::BreakIterator> clusters = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_FAILURE(status) ? nullptr : std::move(made);
    }();
    if (!clusters)
        return std::string(text);
    clusters->setText(unicode);
    const int32_t end = clusters->following(0);
    icu::UnicodeString first(unicode, 0, end == icu::BreakIterator::DONE ? unicode.length() : end);
    first.toUpper(icu::Locale::getRoot());

    std::string out;
    first.toUTF8String(out);
    // The rest is copied as bytes, exactly as it stood.
    std::string firstBytes;
    icu::UnicodeString(unicode, 0, end == icu::BreakIterator::DONE ? unicode.length() : end).toUTF8String(firstBytes);
    out.append(text.substr(firstBytes.size()));
    return out;
}

} // namespace

std::string upperFirstCharacter(std::string_view text)
{
    if (text.empty())
        return {};
    // Fast path: an ASCII character followed by ASCII (or nothing) is a cluster of its own.
    if (isAscii(text[0]) && (text.size() == 1 || isAscii(text[1]))) {
        std::string out(text);
        out[0] = asciiUpper(out[0]);
        return out;
    }
    return upperFirstWithICU(text);
}

std::string JSONTool::typeName(std::string_view key) const
{
    std::string name;
    name.reserve(classPrefix.size() + key.size() + 2);
    name += classPrefix;
    name += isSafeName(key) ? upperFirstCharacter(key) : upperFirstCharacter(safeName(key));
    return name;
}

} // namespace morvex
