// Arbitrary bytes as the settings file: reading never crashes and always yields four values; a save afterwards
// always leaves a store that reads back what was saved.

#include "morvex/KeyValueStore.h"
#include "morvex/SettingValues.h"

#include "FuzzSupport.h"

#include <filesystem>
#include <fstream>

using morvex::fuzz::fail;
using morvex::fuzz::scratch;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path file = scratch() / "settings.json";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    morvex::KeyValueStore store(file);
    std::string problem;
    const std::string stored = store.string(morvex::settingSaveKey, &problem);
    if (!problem.empty() && !stored.empty())
        fail("a damaged store must read as empty", stored);
    const std::string other = store.string("other");

    const std::vector<std::string> values = morvex::loadSettingValues(store);
    if (values.size() < morvex::settingCount)
        fail("fewer than four values", std::to_string(values.size()));

    // Quotes and backslashes need escaping in the file; control characters are refused before saving.
    const std::vector<std::string> saved = {"Ann", "Co \"quoted\" \\ \u00e9", "P", "Name\u00e9"};
    if (auto refused = morvex::saveSettingValues(saved, store))
        fail("save refused", *refused);
    if (morvex::loadSettingValues(store, &problem) != saved || !problem.empty())
        fail("saved values do not read back", problem);
    if (store.string("other") != other)
        fail("another key did not survive the save", other);
    return 0;
}
