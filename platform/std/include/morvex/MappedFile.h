#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

namespace morvex {

/// A whole file mapped read-only into memory, followed by at least `padding` readable zero bytes, so that a
/// parser that reads ahead past the end needs no copy of the file.
class MappedFile
{
public:
    /// Maps `file`; nullptr with `error` set when it cannot be opened or mapped. A file that is not a regular
    /// one, or reports a size of 0, gives `std::errc::not_supported`: read it as a stream instead.
    static std::unique_ptr<MappedFile> open(const std::filesystem::path& file, std::size_t padding,
                                            std::error_code& error);

    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view text() const { return {m_data, m_size}; }

private:
    MappedFile(const char* data, std::size_t size, std::size_t mapped) : m_data(data), m_size(size), m_mapped(mapped) {}

    const char* m_data;
    std::size_t m_size;
    std::size_t m_mapped;
};

} // namespace morvex
