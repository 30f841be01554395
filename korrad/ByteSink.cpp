#include "ByteSink.h"

#include <filesystem>

namespace korrad {

bool MemoryByteSink::write(const void *data, std::size_t count)
{
    const auto *bytes = static_cast<const std::uint8_t *>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + count);
    return true;
}

FileByteSink::FileByteSink(const char *path)
{
    if (!path || !*path)
        return;
    m_path = path;
    // Written over in place, not truncated on opening: the caller usually
    // reserves the target as an empty file, and a file truncated to nothing
    // and written again is forced to disk when it is closed (ext4), which
    // costs more than the whole conversion.
    m_file = std::fopen(path, "r+b");
    if (!m_file)
        m_file = std::fopen(path, "wb");
    // A buffer of our own: given none, the C library keeps to the file
    // system's block size and a preview costs hundreds of system calls.
    if (m_file) {
        m_buffer.resize(256 * 1024);
        std::setvbuf(m_file, m_buffer.data(), _IOFBF, m_buffer.size());
    }
}

FileByteSink::~FileByteSink()
{
    close();
}

bool FileByteSink::write(const void *data, std::size_t count)
{
    if (!m_file || m_failed)
        return false;
    if (std::fwrite(data, 1, count, m_file) != count)
        m_failed = true;
    m_written += count;
    return !m_failed;
}

bool FileByteSink::close()
{
    if (!m_file)
        return false;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!closed || m_failed)
        return false;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(m_path, error);
    if (!error && size > m_written)
        std::filesystem::resize_file(m_path, m_written, error);
    return !error;
}

} // namespace korrad
