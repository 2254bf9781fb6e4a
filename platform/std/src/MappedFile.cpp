#include "morvex/MappedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvex {

namespace {

// Closes the descriptor on every path out.
struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

std::error_code lastError()
{
    return {errno, std::system_category()};
}

} // namespace

std::unique_ptr<MappedFile> MappedFile::open(const std::filesystem::path& file, std::size_t padding,
                                             std::error_code& error)
{
    Descriptor descriptor{::open(file.c_str(), O_RDONLY | O_CLOEXEC)};
    if (descriptor.fd < 0) {
        error = lastError();
        return nullptr;
    }
    struct stat info
    {};
    if (::fstat(descriptor.fd, &info) != 0) {
        error = lastError();
        return nullptr;
    }
    if (S_ISDIR(info.st_mode)) {
        error = std::make_error_code(std::errc::is_a_directory);
        return nullptr;
    }
    // Pipes and devices cannot be mapped, and files of /proc and the like report a size of 0 whatever they
    // hold: the caller reads those as a stream.
    if (!S_ISREG(info.st_mode) || info.st_size == 0) {
        error = std::make_error_code(std::errc::not_supported);
        return nullptr;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t mapped = (size + padding + page - 1) / page * page;

    // Reserve the whole span as zero pages, then lay the file over its start: the bytes after the file's end
    // read as zeros, whatever its size.
    void* span = ::mmap(nullptr, mapped, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (span == MAP_FAILED) {
        error = lastError();
        return nullptr;
    }
    void* contents = ::mmap(span, size, PROT_READ, MAP_PRIVATE | MAP_FIXED | MAP_POPULATE, descriptor.fd, 0);
    if (contents == MAP_FAILED) {
        error = lastError();
        ::munmap(span, mapped);
        return nullptr;
    }
    ::madvise(contents, size, MADV_SEQUENTIAL);
    error.clear();
    return std::unique_ptr<MappedFile>(new MappedFile(static_cast<const char*>(span), size, mapped));
}

MappedFile::~MappedFile()
{
    ::munmap(const_cast<char*>(m_data), m_mapped);
}

} // namespace morvex
