#pragma once

#include "morvex/KeyValueStore.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvex {

/// The key under which the four remembered values are stored.
inline constexpr std::string_view settingSaveKey = "SettingSave";

/// The stored form used when nothing usable is stored: author, company, class-name prefix, root type name.
inline constexpr std::string_view defaultSettingSave =
    "Lintrel,Morvex \u79D1\u6280\u6709\u9650\u516C\u53F8,MX,RootModel";

/// Positions in the remembered values.
enum SettingIndex : std::size_t
{
    authorIndex = 0,
    companyIndex = 1,
    prefixIndex = 2,
    rootNameIndex = 3,
    settingCount = 4
};

/// The four defaults, in order.
const std::vector<std::string>& defaultSettingValues();

/// The remembered values: the stored string split at every comma (empty parts kept), the defaults when nothing
/// is stored, and the default for each position a shorter stored string lacks. An unreadable or corrupt store
/// reads as nothing stored, and a stored value that settingValueProblem refuses reads as its default; `problem`,
/// when given, then says what was wrong and that defaults are used. Nothing is written back.
std::vector<std::string> loadSettingValues(const KeyValueStore& store = KeyValueStore::shared(),
                                           std::string* problem = nullptr);

/// Why `value` cannot be the setting at `index`: an author or company holding a control or format character or
/// a line or paragraph separator (it would end the header's comment), or a prefix or root type name that is not
/// a safe name as keys become (see Identifier.h). nullopt when it can be.
std::optional<std::string> settingValueProblem(std::size_t index, std::string_view value);

/// The name of the setting at `index` in messages ("author", "company", "class-name prefix", "root type name").
std::string_view settingName(std::size_t index);

/// Why `values` cannot be remembered: not four of them, one that settingValueProblem refuses, or one that holds a
/// comma (which would shift the others on the next load). nullopt when they can.
std::optional<std::string> settingValuesProblem(const std::vector<std::string>& values);

/// Stores [author, company, prefix, root type name] joined with ",". Returns nullopt on success, otherwise the
/// reason nothing was stored. `notice`, when given, says where an unreadable store was moved aside.
std::optional<std::string> saveSettingValues(const std::vector<std::string>& values,
                                             KeyValueStore& store = KeyValueStore::shared(),
                                             std::string* notice = nullptr);

} // namespace morvex
