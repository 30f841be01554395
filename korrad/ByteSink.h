#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace korrad {

class ByteSink
{
public:
    virtual ~ByteSink() = default;
    virtual bool write(const void *data, std::size_t count) = 0;
};

class MemoryByteSink final : public ByteSink
{
public:
    bool write(const void *data, std::size_t count) override;
    const std::vector<std::uint8_t> &bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

class FileByteSink final : public ByteSink
{
public:
    explicit FileByteSink(const char *path);
    ~FileByteSink() override;
    FileByteSink(const FileByteSink &) = delete;
    FileByteSink &operator=(const FileByteSink &) = delete;

    bool isOpen() const { return m_file != nullptr; }
    bool write(const void *data, std::size_t count) override;
    // Flushes, cuts off whatever an earlier file held beyond what was
    // written, and closes; false when any of it went wrong.
    bool close();

private:
    std::string m_path;
    std::FILE *m_file = nullptr;
    std::vector<char> m_buffer;
    std::uint64_t m_written = 0;
    bool m_failed = false;
};

} // namespace korrad
