#include "morvex/SettingValues.h"

namespace morvex {

namespace {

std::vector<std::string> split(std::string_view text)
{
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t comma = text.find(',');
        parts.emplace_back(text.substr(0, comma));
        if (comma == std::string_view::npos)
            return parts;
        text.remove_prefix(comma + 1);
    }
}

} // namespace

const std::vector<std::string>& defaultSettingValues()
{
    static const std::vector<std::string> defaults = split(defaultSettingSave);
    return defaults;
}

std::vector<std::string> loadSettingValues(const KeyValueStore& store, std::string* problem)
{
    std::string stored = store.string(settingSaveKey, problem);
    if (stored.empty())
        stored = defaultSettingSave;
    std::vector<std::string> values = split(stored);
    const auto& defaults = defaultSettingValues();
    for (std::size_t i = values.size(); i < settingCount; ++i)
        values.push_back(defaults[i]);
    return values;
}

std::optional<std::string> settingValuesProblem(const std::vector<std::string>& values)
{
    static const char* const names[] = {"author", "company", "class-name prefix", "root type name"};
    if (values.size() != settingCount)
        return "expected 4 values (author, company, prefix, root type name), got " + std::to_string(values.size());
    for (std::size_t i = 0; i < settingCount; ++i) {
        if (values[i].find(',') != std::string::npos)
            return std::string("the ") + names[i] + " \"" + values[i] +
                   "\" contains a comma, which the remembered settings cannot hold";
    }
    return std::nullopt;
}

std::optional<std::string> saveSettingValues(const std::vector<std::string>& values, KeyValueStore& store)
{
    if (auto problem = settingValuesProblem(values))
        return problem;
    std::string joined;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            joined += ',';
        joined += values[i];
    }
    if (std::error_code error = store.set(joined, settingSaveKey))
        return "cannot save the settings to " + store.file().string() + ": " + error.message();
    return std::nullopt;
}

} // namespace morvex
