#pragma once

// What the fuzz targets share: a loud stop on a broken property, and one scratch folder per process.

#include "TempDir.h"

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
    static const test::TempDir folder;
    return folder.path();
}

} // namespace morvex::fuzz
