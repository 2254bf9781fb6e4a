#include "morvex/FileName.h"

#include <cstdint>
#include <cstdio>

namespace morvex {

namespace {

constexpr std::size_t maxFileNameBytes = 255;

} // namespace

std::string fileNameFor(std::string_view className, std::string_view extension)
{
    std::string stem;
    stem.reserve(className.size() + extension.size());
    for (char c : className) {
        const auto byte = static_cast<unsigned char>(c);
        stem += (c == '/' || byte < 0x20 || byte == 0x7F) ? '_' : c;
    }
    if (stem.empty())
        stem.push_back('_');
    if (stem.size() + extension.size() > maxFileNameBytes) {
        // FNV-1a over the whole name keeps shortened names of distinct types apart.
        std::uint32_t hash = 2166136261u;
        for (char c : className) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 16777619u;
        }
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "~%08x", hash);
        std::size_t keep = maxFileNameBytes - extension.size() - 9;
        while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80)
            --keep; // never cut a UTF-8 character in half
        stem.resize(keep);
        stem += suffix;
    }
    return stem.append(extension);
}

} // namespace morvex
