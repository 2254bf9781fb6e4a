#include "morvex/KeyValueStore.h"

#include "morvex/JSONString.h"

#include "morvex/AtomicFile.h"
#include "morvex/UTF8.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <pwd.h>
#include <simdjson.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace morvex {

namespace {

using Entries = std::map<std::string, std::string, std::less<>>;

// Settings are a few short values; a file far larger is not ours to read on every run.
constexpr std::uintmax_t largestStore = 1 << 20;
constexpr auto lockPatience = std::chrono::seconds(5);

enum class Load
{
    ok,
    missing,
    unreadable,
    corrupt
};

Load load(const std::filesystem::path& file, Entries& entries, std::string& problem)
{
    std::string text;
    std::error_code error;
    // A named pipe or a device would block the read (a pipe waits for a writer) or never end.
    const auto type = std::filesystem::status(file, error).type();
    if (!error && type != std::filesystem::file_type::regular && type != std::filesystem::file_type::directory) {
        problem = "cannot read " + file.string() + ": not a regular file";
        return Load::unreadable;
    }
    if (!error && type == std::filesystem::file_type::regular &&
        std::filesystem::file_size(file, error) > largestStore && !error) {
        problem = file.string() + " is larger than 1 MB and is not read";
        return Load::corrupt;
    }
    if (!readWholeFile(file, text, error)) {
        if (error == std::errc::no_such_file_or_directory)
            return Load::missing;
        problem = "cannot read " + file.string() + ": " + error.message();
        return Load::unreadable;
    }
    if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3); // written so by some editors
    simdjson::dom::parser parser;
    simdjson::dom::object object;
    if (auto failure = parser.parse(simdjson::padded_string(text)).get(object)) {
        problem = file.string() + " is not a settings file (" + simdjson::error_message(failure) + ")";
        return Load::corrupt;
    }
    for (auto [key, value] : object) {
        std::string_view textValue;
        if (value.get(textValue)) {
            problem = file.string() + " holds a value that is not text under \"" + std::string(key) + "\"";
            entries.clear();
            return Load::corrupt;
        }
        entries.insert_or_assign(std::string(key), std::string(textValue));
    }
    return Load::ok;
}

std::string serialise(const Entries& entries)
{
    std::string out = "{\n";
    bool first = true;
    for (const auto& [key, value] : entries) {
        if (!first)
            out += ",\n";
        first = false;
        out += "  ";
        appendJSONString(out, key);
        out += ": ";
        appendJSONString(out, value);
    }
    out += "\n}\n";
    return out;
}

// Serialises writers of one store across processes; released when the descriptor closes. Waits a few seconds
// at most: a program that holds the lock for ever must not hang every later one.
class FileLock
{
public:
    explicit FileLock(const std::filesystem::path& file)
    {
        std::filesystem::path lockFile = file;
        lockFile += ".lock";
        m_fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return;
        const auto deadline = std::chrono::steady_clock::now() + lockPatience;
        while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                break; // a file system without locks: go on as before
            if (std::chrono::steady_clock::now() >= deadline) {
                m_timedOut = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    bool timedOut() const { return m_timedOut; }
    ~FileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd = -1;
    bool m_timedOut = false;
};

// Where an unreadable store is moved before a new one is written: beside it, named by the time.
std::filesystem::path asideName(const std::filesystem::path& file)
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&now, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H-%M-%S", &parts);
    std::filesystem::path aside = file;
    aside += std::string(".unreadable-") + stamp;
    for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(aside)); ++n) {
        aside = file;
        aside += std::string(".unreadable-") + stamp + "-" + std::to_string(n);
    }
    return aside;
}

} // namespace

KeyValueStore::KeyValueStore(std::filesystem::path file) : m_file(std::move(file)) {}

KeyValueStore& KeyValueStore::shared()
{
    static KeyValueStore store(defaultLocation());
    return store;
}

std::filesystem::path KeyValueStore::defaultLocation()
{
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        // Never the current folder: that would scatter settings wherever the program happens to run.
        const passwd* entry = ::getpwuid(::getuid());
        home = entry && entry->pw_dir && *entry->pw_dir == '/' ? entry->pw_dir : nullptr;
    }
    if (!home)
        return {};
    const std::filesystem::path homePath = home;
#ifdef __APPLE__
    return homePath / "Library" / "Preferences" / "morvex.settings.json";
#else
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (config && *config == '/')
        return std::filesystem::path(config) / "morvex" / "settings.json";
    return homePath / ".config" / "morvex" / "settings.json";
#endif
}

std::string KeyValueStore::string(std::string_view key, std::string* problem) const
{
    Entries entries;
    std::string issue;
    Load result = load(m_file, entries, issue);
    if (problem)
        *problem = issue;
    if (result != Load::ok)
        return {};
    auto found = entries.find(key);
    return found == entries.end() ? std::string() : found->second;
}

std::error_code KeyValueStore::set(std::string_view value, std::string_view key, std::string* notice)
{
    if (m_file.empty())
        return std::make_error_code(std::errc::no_such_file_or_directory);
    if (!isValidUTF8(value) || !isValidUTF8(key))
        return std::make_error_code(std::errc::illegal_byte_sequence);

    std::error_code error;
    std::filesystem::create_directories(m_file.parent_path(), error);
    if (error)
        return error;

    FileLock lock(m_file);
    if (lock.timedOut())
        return std::make_error_code(std::errc::timed_out);
    Entries entries;
    std::string problem;
    // A file we cannot read may still hold what someone needs: move it aside rather than overwrite it.
    if (load(m_file, entries, problem) != Load::ok &&
        std::filesystem::exists(std::filesystem::symlink_status(m_file))) {
        const std::filesystem::path aside = asideName(m_file);
        std::filesystem::rename(m_file, aside, error);
        if (error)
            return error;
        entries.clear();
        if (notice)
            *notice = problem + "; it was moved to " + aside.string();
    }
    entries.insert_or_assign(std::string(key), std::string(value));
    return writeFileAtomically(m_file, serialise(entries));
}

} // namespace morvex
