#include "morvex/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace morvex {

namespace {

std::error_code lastError()
{
    return {errno, std::system_category()};
}

bool isSingleComponent(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::string temporaryName()
{
    static std::atomic<unsigned long> counter{0};
    static const unsigned long seed = std::random_device{}();
    // Kept short so that a target name at the file-system limit still leaves a valid temporary name.
    return ".morvex-" + std::to_string(::getpid()) + "-" + std::to_string(seed % 100000) + "-" +
           std::to_string(counter.fetch_add(1)) + ".tmp";
}

std::error_code writeAll(int fd, std::string_view bytes)
{
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return {};
}

// Writes into a fresh temporary file in `dirfd` and renames it to `name`.
std::error_code writeAt(int dirfd, std::string_view name, std::string_view bytes)
{
    if (!isSingleComponent(name))
        return std::make_error_code(std::errc::invalid_argument);
    const std::string target(name);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = temporaryName();
        fd = ::openat(dirfd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return lastError();
    }
    if (fd < 0)
        return std::make_error_code(std::errc::file_exists);

    std::error_code error = writeAll(fd, bytes);
    if (::close(fd) != 0 && !error)
        error = lastError();
    if (!error && ::renameat(dirfd, temp.c_str(), dirfd, target.c_str()) != 0)
        error = lastError();
    if (error)
        ::unlinkat(dirfd, temp.c_str(), 0);
    return error;
}

} // namespace

AtomicFolder::AtomicFolder(int fd, std::filesystem::path path) : m_fd(fd), m_path(std::move(path)) {}

AtomicFolder::~AtomicFolder()
{
    ::close(m_fd);
}

std::unique_ptr<AtomicFolder> AtomicFolder::open(const std::filesystem::path& folder, std::error_code& error)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = lastError();
        return nullptr;
    }
    error.clear();
    return std::unique_ptr<AtomicFolder>(new AtomicFolder(fd, folder));
}

std::error_code AtomicFolder::write(std::string_view name, std::string_view bytes) const
{
    return writeAt(m_fd, name, bytes);
}

std::error_code writeFileAtomically(const std::filesystem::path& file, std::string_view bytes)
{
    std::error_code error;
    const std::filesystem::path parent = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    std::filesystem::create_directories(parent, error);
    if (error)
        return error;
    auto folder = AtomicFolder::open(parent, error);
    if (!folder)
        return error;
    return folder->write(file.filename().string(), bytes);
}

bool readWholeFile(const std::filesystem::path& file, std::string& contents, std::error_code& error)
{
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = lastError();
        return false;
    }
    contents.clear();
    struct stat info
    {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        contents.reserve(static_cast<size_t>(info.st_size));
    char buffer[1 << 16];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = lastError();
            ::close(fd);
            return false;
        }
        if (got == 0)
            break;
        contents.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    error.clear();
    return true;
}

} // namespace morvex
