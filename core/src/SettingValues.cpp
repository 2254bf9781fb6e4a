#include "morvex/SettingValues.h"

#include "morvex/Identifier.h"

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
    std::string storeProblem;
    std::string stored = store.string(settingSaveKey, &storeProblem);
    std::string said = storeProblem.empty() ? std::string() : storeProblem + "; using the default settings";
    if (stored.empty())
        stored = defaultSettingSave;
    std::vector<std::string> values = split(stored);
    const auto& defaults = defaultSettingValues();
    for (std::size_t i = values.size(); i < settingCount; ++i)
        values.push_back(defaults[i]);
    // A bad value someone stored by hand (or an older version let through) is not used, and not erased either.
    for (std::size_t i = 0; i < settingCount; ++i) {
        if (auto why = settingValueProblem(i, values[i])) {
            said += (said.empty() ? "" : "; ") + store.file().string() + ": " + *why + "; using the default " +
                    std::string(settingName(i));
            values[i] = defaults[i];
        }
    }
    if (problem)
        *problem = std::move(said);
    return values;
}

std::string_view settingName(std::size_t index)
{
    static constexpr std::string_view names[] = {"author", "company", "class-name prefix", "root type name"};
    return index < settingCount ? names[index] : "setting";
}

std::optional<std::string> settingValueProblem(std::size_t index, std::string_view value)
{
    const std::string quoted = std::string("the ") + std::string(settingName(index)) + " \"" + printable(value) + "\"";
    if ((index == authorIndex || index == companyIndex) && !isPrintable(value))
        return quoted + " holds a control or format character or a line break";
    if ((index == prefixIndex || index == rootNameIndex) && !isSafeName(value))
        return quoted + R"( may hold only letters, marks, digits, symbols, "_", "$", "-", "." and spaces)";
    return std::nullopt;
}

std::optional<std::string> settingValuesProblem(const std::vector<std::string>& values)
{
    if (values.size() != settingCount)
        return "expected 4 values (author, company, prefix, root type name), got " + std::to_string(values.size());
    for (std::size_t i = 0; i < settingCount; ++i) {
        if (auto problem = settingValueProblem(i, values[i]))
            return problem;
        if (values[i].find(',') != std::string::npos)
            return std::string("the ") + std::string(settingName(i)) + " \"" + values[i] +
                   "\" contains a comma, which the remembered settings cannot hold";
    }
    return std::nullopt;
}

std::optional<std::string> saveSettingValues(const std::vector<std::string>& values, KeyValueStore& store,
                                             std::string* notice)
{
    if (auto problem = settingValuesProblem(values))
        return problem;
    std::string joined;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            joined += ',';
        joined += values[i];
    }
    if (std::error_code error = store.set(joined, settingSaveKey, notice)) {
        if (error == std::errc::timed_out)
            return "cannot save the settings to " + store.file().string() +
                   ": another program kept them locked for 5 seconds; they were not remembered";
        return "cannot save the settings to " + store.file().string() + ": " + error.message();
    }
    return std::nullopt;
}

} // namespace morvex
