#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace morvex {

/// A folder opened once, into which whole files are written atomically.
///
/// Each file is written to a temporary name inside the folder and then renamed over the target, so a reader
/// (or a crash) never sees a half-written file. Names are single path components: a name with a "/" or a NUL,
/// or the names "." and "..", are refused, so nothing is ever written outside the folder.
class AtomicFolder
{
public:
    /// Opens an existing folder. On failure returns nullptr and sets `error`.
    static std::unique_ptr<AtomicFolder> open(const std::filesystem::path& folder, std::error_code& error);

    ~AtomicFolder();
    AtomicFolder(const AtomicFolder&) = delete;
    AtomicFolder& operator=(const AtomicFolder&) = delete;

    /// Replaces (or creates) the file `name` with exactly `bytes`. Returns the error, empty on success.
    std::error_code write(std::string_view name, std::string_view bytes) const;

    /// A file written piece by piece into a temporary file, which `commit` renames over the target. Dropped
    /// unseen when not committed; the first failure sticks, and `commit` returns it.
    class Stream
    {
    public:
        Stream(Stream&& other) noexcept;
        Stream& operator=(Stream&&) = delete;
        ~Stream();

        void append(std::string_view bytes);
        std::error_code commit();

    private:
        friend class AtomicFolder;
        Stream(int dirfd, std::string_view name);

        struct Temporary;
        int m_dirfd;
        std::string m_target;
        std::unique_ptr<Temporary> m_temporary;
        std::error_code m_error;
    };
    /// Starts writing the file `name`, to be seen only once the stream is committed.
    Stream create(std::string_view name) const;

    /// Removes the temporary files that runs killed outright left in the folder: those no process holds the
    /// lock of. Returns how many were removed.
    std::size_t removeStaleTemporaryFiles() const;

    const std::filesystem::path& path() const { return m_path; }

private:
    AtomicFolder(int fd, std::filesystem::path path);

    int m_fd;
    std::filesystem::path m_path;
};

/// Removes the temporary files this process is writing at this moment. Safe to call from a signal handler, which
/// then ends the process: nothing it was writing is left behind.
void removeTemporaryFilesNow() noexcept;

/// Writes `bytes` to `file` atomically, creating missing parent folders. Returns the error, empty on success.
std::error_code writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

/// Reads a whole file. Returns false (and sets `error`) when it cannot be read.
bool readWholeFile(const std::filesystem::path& file, std::string& contents, std::error_code& error);

} // namespace morvex
