#include "morvex/CodeFileStart.h"

#include "morvex/Identifier.h"
#include "morvex/SettingValues.h"

namespace morvex {

CodeFileStart::CodeFileStart(std::vector<std::string> values, const MXDate& date)
    : settingValues(std::move(values)), m_date(date.today()), m_year(MXDate::yearOf(m_date))
{}

std::string CodeFileStart::header(std::string_view fileName) const
{
    const auto& defaults = defaultSettingValues();
    // Both are refused where they are entered when they could end the comment; escaping here is the last guard.
    const std::string author = printable(!settingValues.empty() ? settingValues[0] : defaults[0]);
    const std::string company = printable(settingValues.size() > 1 ? settingValues[1] : defaults[1]);

    std::string block;
    block.reserve(120 + fileName.size() + author.size() + company.size());
    block.append("//\n//  ")
        .append(fileName)
        .append("\n//\n//\n//  Created by ")
        .append(author)
        .append(" on ")
        .append(m_date)
        .append(".\n//  Copyright \u00A9 ")
        .append(m_year)
        .append("\u5E74 ")
        .append(company)
        .append(". All rights reserved.\n//\n");
    return block;
}

} // namespace morvex
