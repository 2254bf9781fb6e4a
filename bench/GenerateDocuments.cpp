// Writes the benchmark documents into FOLDER (files already there are kept):
//   morvex-bench-gen FOLDER
#include "Documents.h"

#include <filesystem>
#include <fstream>
#include <functional>

int main(int argc, char** argv)
{
    using namespace morvex::bench;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
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
