// Writes the benchmark documents into FOLDER (files already there are kept):
//   morvex-bench-gen FOLDER
#include "Documents.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>

int main(int argc, char** argv)
{
    using namespace morvex::bench;
    const std::string_view usage = "usage: morvex-bench-gen FOLDER\n";
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(usage.data(), stdout);
        return 0;
    }
    // An option is never taken for a folder: "--help/" would fill the working folder with 600 MB.
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs(usage.data(), stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    auto write = [&](const std::string& name, const std::function<std::string()>& make) {
        const auto file = folder / name;
        if (std::filesystem::exists(file))
            return;
        std::ofstream(file, std::ios::binary) << make();
    };
    for (std::size_t size : {1u, 10u, 100u, 500u})
        write("api-" + std::to_string(size) + "mb.json", [size] { return apiDocument(size * 1000 * 1000); });
    write("array-1m.json", [] { return longArrayDocument(); });
    write("array-100k.json", [] { return longArrayDocument(100000); });
    write("wide-100k.json", wideObjectDocument);
    write("deep-10k.json", [] { return deepDocument(10000); });
    write("deep-100k.json", [] { return deepDocument(100000); });
    write("deep-999999.json", [] { return deepDocument(999999); });
    return 0;
}
