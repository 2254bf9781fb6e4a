#pragma once

#include "morvex/MXDate.h"

#include <string>
#include <string_view>
#include <vector>

namespace morvex {

/// Builds the seven-line comment block that opens every generated file.
class CodeFileStart
{
public:
    /// `settingValues` as loaded (author at 0, company at 1); the date is taken once, now, so that all files
    /// of one conversion carry the same date and a copyright year that matches it.
    explicit CodeFileStart(std::vector<std::string> settingValues, const MXDate& date = MXDate::shared());

    std::vector<std::string> settingValues;

    /// The block for `fileName` (for example "MXRootModel.swift"), ending in "//\n".
    std::string header(std::string_view fileName) const;

private:
    std::string m_date;
    std::string m_year;
};

} // namespace morvex
