// The floor for writing many files: a plain program that writes the files a conversion wrote, of the same sizes,
// the same atomic way (a fresh temporary file, held by flock, renamed over the name), one after another.
//   morvex-write-floor MANIFEST FOLDER
// MANIFEST holds one "SIZE NAME" line per file, in writing order (run.py makes it from a conversion's folder).
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MANIFEST FOLDER\n", argv[0]);
        return 2;
    }
    std::vector<std::pair<std::size_t, std::string>> files;
    std::ifstream manifest(argv[1]);
    std::size_t size = 0;
    std::string name;
    std::size_t largest = 0;
    while (manifest >> size && manifest.get() == ' ' && std::getline(manifest, name)) {
        largest = std::max(largest, size);
        files.emplace_back(size, std::move(name));
    }
    ::mkdir(argv[2], 0777);
    const int folder = ::open(argv[2], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        std::perror(argv[2]);
        return 1;
    }
    const std::string bytes(largest, 'x');
    const std::string prefix = ".floor-" + std::to_string(::getpid()) + "-";
    std::size_t counter = 0;
    for (const auto& [length, target] : files) {
        const std::string temp = prefix + std::to_string(counter++) + ".tmp";
        const int fd = ::openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        struct stat info
        {};
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &info) != 0 ||
            ::write(fd, bytes.data(), length) != static_cast<ssize_t>(length) ||
            ::renameat(folder, temp.c_str(), folder, target.c_str()) != 0 || ::close(fd) != 0) {
            std::perror(target.c_str());
            return 1;
        }
    }
    ::close(folder);
    return 0;
}
