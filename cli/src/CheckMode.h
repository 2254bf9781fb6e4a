#pragma once

#include "morvex/Conversion.h"

#include <filesystem>
#include <iosfwd>
#include <string_view>

namespace morvex {

/// Compares the files a conversion would write with those in `folder`, writing nothing. Lists on `err` each
/// file that is missing or differs, the first difference shown as a short diff. Only the date of the header's
/// "Created by" line and the year of its copyright line are ignored. True when all agree.
bool checkFiles(const std::vector<GeneratedFile>& files, const std::filesystem::path& folder, std::string_view program,
                std::ostream& err);

} // namespace morvex
