#pragma once

// What the fuzz targets share: a loud stop on a broken property, and one scratch folder per process.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace morvex::fuzz {

/// Reports a broken property and aborts, so that the fuzzer keeps the input.
[[noreturn]] inline void fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "fuzz: %s: %s\n", what, detail.c_str());
    std::abort();
}

/// A private folder under the temporary folder, removed when the process exits.
inline const std::filesystem::path& scratch()
{
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "morvex-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            fail("mkdtemp", pattern);
        std::atexit([] { std::filesystem::remove_all(scratch()); });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

} // namespace morvex::fuzz
