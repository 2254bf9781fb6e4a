#include "morvex/UTF8.h"

#include <simdjson.h>

namespace morvex {

namespace {

// Length of the UTF-8 sequence at `at`, or 0 when it is not well-formed.
std::size_t sequenceLength(std::string_view text, std::size_t at)
{
    auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    auto continuation = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
        const unsigned b = byte(i);
        return b >= low && b <= high;
    };
    const unsigned lead = byte(at);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(at + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned high = lead == 0xED ? 0x9F : 0xBF; // no encoded surrogates
        return continuation(at + 1, low, high) && continuation(at + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
        return continuation(at + 1, low, high) && continuation(at + 2) && continuation(at + 3) ? 4 : 0;
    }
    return 0;
}

} // namespace

bool isValidUTF8(std::string_view text) noexcept
{
    return simdjson::validate_utf8(text.data(), text.size());
}

std::size_t invalidUTF8At(std::string_view text) noexcept
{
    if (isValidUTF8(text))
        return text.size();
    // Rare, and only to say where: the fast check has no position to give.
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t length = sequenceLength(text, at);
        if (length == 0)
            return at;
        at += length;
    }
    return text.size();
}

} // namespace morvex
