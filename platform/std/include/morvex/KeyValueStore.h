#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace morvex {

/// A small persistent map from text keys to text values, kept in one JSON file.
///
/// Every read goes to the file afresh; every write rewrites it atomically under an advisory lock, so two
/// processes saving at once never leave a corrupt file and keys other than the written one survive.
class KeyValueStore
{
public:
    explicit KeyValueStore(std::filesystem::path file);

    /// The store in the user's configuration folder (see `defaultLocation`).
    static KeyValueStore& shared();

    /// `$XDG_CONFIG_HOME/morvex/settings.json`, else `~/.config/morvex/settings.json`
    /// (on macOS `~/Library/Preferences/morvex.settings.json`), where `~` is HOME or, unset, the home folder of
    /// the password database. Empty when there is no home at all; such a store is empty and cannot be written.
    /// A file over 1 MB is not read; a leading byte-order mark is accepted.
    static std::filesystem::path defaultLocation();

    /// The value stored under `key`, or "" when there is none. A missing file is not a problem; an unreadable
    /// or corrupt one reads as empty and, when `problem` is given, describes what was wrong.
    std::string string(std::string_view key, std::string* problem = nullptr) const;

    /// Stores `value` under `key`, replacing the old value. Values must be valid UTF-8. A file that cannot be
    /// read is first renamed aside (`settings.json.unreadable-2026-12-06T10-00-00`); `notice` then says where.
    /// Waits at most 5 s for another writer (then std::errc::timed_out).
    /// Returns the error, empty on success; on error the file is left as it was.
    std::error_code set(std::string_view value, std::string_view key, std::string* notice = nullptr);

    const std::filesystem::path& file() const { return m_file; }

private:
    std::filesystem::path m_file;
};

} // namespace morvex
