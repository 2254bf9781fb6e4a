#include "morvex/AtomicFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/file.h>
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

constexpr std::string_view temporaryPrefix = ".morvex-";
constexpr std::string_view temporarySuffix = ".tmp";

// The temporary files this process has open, for removal from a signal handler: plain slots that the handler can
// read without locks or allocation. A slot is filled before its file is created and freed once it is renamed.
struct PendingTemporary
{
    std::atomic<int> dirfd{-1};
    char name[64]{};
};
std::array<PendingTemporary, 16> pending;
// Set by the signal handler: from then on no thread creates a temporary file. `creating` counts the threads
// between claiming a slot and creating its file, which the handler lets finish before it removes the files.
std::atomic<bool> dying{false};
std::atomic<int> creating{0};

PendingTemporary* claimSlot(int dirfd, const std::string& name)
{
    if (name.size() >= sizeof(PendingTemporary::name))
        return nullptr;
    for (auto& slot : pending) {
        int expected = -1;
        // -2 marks a slot being filled, so the handler skips its half-written name.
        if (slot.dirfd.compare_exchange_strong(expected, -2)) {
            std::memcpy(slot.name, name.c_str(), name.size() + 1);
            slot.dirfd.store(dirfd, std::memory_order_release);
            return &slot;
        }
    }
    return nullptr;
}

void releaseSlot(PendingTemporary* slot)
{
    if (slot)
        slot->dirfd.store(-1, std::memory_order_release);
}

std::string temporaryName()
{
    static std::atomic<unsigned long> counter{0};
    static const unsigned long seed = std::random_device{}();
    // Kept short so that a target name at the file-system limit still leaves a valid temporary name.
    return std::string(temporaryPrefix) + std::to_string(::getpid()) + "-" + std::to_string(seed % 100000) + "-" +
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

// A fresh temporary file in a folder, created locked and registered for removal on a signal.
struct Temporary
{
    int fd = -1;
    std::string name;
    PendingTemporary* slot = nullptr;

    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() { releaseSlot(slot); }
};

std::error_code createTemporary(int dirfd, Temporary& file)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        file.name = temporaryName();
        releaseSlot(file.slot);
        file.slot = nullptr;
        creating.fetch_add(1);
        if (dying.load()) {
            creating.fetch_sub(1);
            return std::make_error_code(std::errc::interrupted);
        }
        file.slot = claimSlot(dirfd, file.name);
        file.fd = ::openat(dirfd, file.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        const int openError = errno;
        creating.fetch_sub(1);
        if (file.fd < 0 && openError != EEXIST)
            return {openError, std::system_category()};
        // Held until the file is renamed: a temporary file nobody holds a lock on was left by a run that died.
        // Another run may have judged it so in the moment before the lock was taken; then take a new name.
        struct stat info
        {};
        if (file.fd >= 0 && (::flock(file.fd, LOCK_EX) != 0 || ::fstat(file.fd, &info) != 0 || info.st_nlink == 0)) {
            ::close(file.fd);
            file.fd = -1;
        }
        if (file.fd >= 0)
            return {};
    }
    return std::make_error_code(std::errc::file_exists);
}

// Renames the written temporary file to `target`, or removes it after `error`; returns the first failure.
std::error_code finishTemporary(int dirfd, Temporary& file, const std::string& target, std::error_code error)
{
    if (file.fd < 0)
        return error;
    if (!error && ::renameat(dirfd, file.name.c_str(), dirfd, target.c_str()) != 0)
        error = lastError();
    if (error)
        ::unlinkat(dirfd, file.name.c_str(), 0);
    if (::close(file.fd) != 0 && !error)
        error = lastError();
    file.fd = -1;
    releaseSlot(file.slot);
    file.slot = nullptr;
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
    Stream file = create(name);
    file.append(bytes);
    return file.commit();
}

struct AtomicFolder::Stream::Temporary : morvex::Temporary
{};

AtomicFolder::Stream::Stream(int dirfd, std::string_view name)
    : m_dirfd(dirfd), m_target(name), m_temporary(std::make_unique<Temporary>())
{
    if (!isSingleComponent(name))
        m_error = std::make_error_code(std::errc::invalid_argument);
    else
        m_error = createTemporary(dirfd, *m_temporary);
}

AtomicFolder::Stream::Stream(Stream&& other) noexcept = default;

AtomicFolder::Stream::~Stream()
{
    if (m_temporary)
        finishTemporary(m_dirfd, *m_temporary, m_target, std::make_error_code(std::errc::operation_canceled));
}

void AtomicFolder::Stream::append(std::string_view bytes)
{
    if (!m_error)
        m_error = writeAll(m_temporary->fd, bytes);
}

std::error_code AtomicFolder::Stream::commit()
{
    return finishTemporary(m_dirfd, *m_temporary, m_target, m_error);
}

AtomicFolder::Stream AtomicFolder::create(std::string_view name) const
{
    return Stream(m_fd, name);
}

std::size_t AtomicFolder::removeStaleTemporaryFiles() const
{
    const int fd = ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!listing) {
        if (fd >= 0)
            ::close(fd);
        return 0;
    }
    std::size_t removed = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(temporaryPrefix) || !name.ends_with(temporarySuffix))
            continue;
        const int file = ::openat(m_fd, entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (file < 0)
            continue;
        // Never judged by process id (ids are reused): only a lock that nobody holds marks it as left behind.
        struct stat info
        {};
        if (::flock(file, LOCK_EX | LOCK_NB) == 0 && ::fstat(file, &info) == 0 && S_ISREG(info.st_mode) &&
            ::unlinkat(m_fd, entry->d_name, 0) == 0)
            ++removed;
        ::close(file);
    }
    ::closedir(listing);
    return removed;
}

void removeTemporaryFilesNow() noexcept
{
    dying.store(true);
    // Another thread may be creating a file right now: give it up to 100 ms to have it in its slot. (When the
    // handler interrupted that very thread, the file is never created and the wait only runs out.)
    for (int waited = 0; waited < 1000 && creating.load() != 0; ++waited) {
        timespec pause{0, 100'000};
        ::nanosleep(&pause, nullptr);
    }
    for (auto& slot : pending) {
        const int dirfd = slot.dirfd.load(std::memory_order_acquire);
        if (dirfd >= 0)
            ::unlinkat(dirfd, slot.name, 0);
    }
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
