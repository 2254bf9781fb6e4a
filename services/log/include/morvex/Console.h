#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvex {

/// Keeps every log entry of the process and rewrites the log file after each one.
///
/// The file is read once, at the first save; each save appends the entry in memory and writes the previous
/// content followed by every entry of this process, atomically. A file that cannot be written is reported
/// once on the output stream (not into the file, which would re-enter without end) and the program goes on.
class Console
{
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    /// A console writing to `path`, echoing to `output`, stamping entries with `clock`.
    explicit Console(std::filesystem::path path, std::ostream& output, Clock clock = defaultClock());

    /// The process-wide console: `$HOME/Morvex.txt`, echoing to standard output.
    static Console& shared();

    /// Appends one finished entry and rewrites the file.
    void save(std::string_view entry);

    /// The time stamp of an entry: "yyyy-MM-dd HH:mm:ss.SSS" in local time.
    std::string timestamp() const;

    std::ostream& output() const { return m_output; }
    const std::filesystem::path& path() const { return m_path; }

    static Clock defaultClock();

private:
    std::filesystem::path m_path;
    std::ostream& m_output;
    Clock m_clock;
    std::optional<std::vector<std::string>> m_logs;
    bool m_failureReported = false;
};

} // namespace morvex
