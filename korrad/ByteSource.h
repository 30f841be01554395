#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace korrad {

// Random access to the bytes of a picture. Every read is checked against the
// real length, so a header that lies about sizes cannot make us read past it.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Fills exactly `count` bytes from `offset`, or answers false.
    virtual bool read(std::uint64_t offset, void *target, std::size_t count) = 0;
};

class MemoryByteSource final : public ByteSource
{
public:
    MemoryByteSource(const void *data, std::size_t length);
    std::uint64_t size() const override { return m_length; }
    bool read(std::uint64_t offset, void *target, std::size_t count) override;

private:
    const unsigned char *m_data;
    std::size_t m_length;
};

class FileByteSource final : public ByteSource
{
public:
    // Opens a regular file for reading; isOpen() says whether that worked.
    explicit FileByteSource(const char *path);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource &) = delete;
    FileByteSource &operator=(const FileByteSource &) = delete;

    bool isOpen() const { return m_file != nullptr; }
    std::uint64_t size() const override { return m_length; }
    bool read(std::uint64_t offset, void *target, std::size_t count) override;

private:
    std::FILE *m_file = nullptr;
    std::uint64_t m_length = 0;
    std::uint64_t m_position = 0;
};

} // namespace korrad
