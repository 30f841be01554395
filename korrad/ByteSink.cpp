#include "ByteSink.h"

namespace korrad {

bool MemoryByteSink::write(const void *data, std::size_t count)
{
    const auto *bytes = static_cast<const std::uint8_t *>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + count);
    return true;
}

FileByteSink::FileByteSink(const char *path)
{
    if (path && *path)
        m_file = std::fopen(path, "wb");
    if (m_file)
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
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
    return !m_failed;
}

bool FileByteSink::close()
{
    if (!m_file)
        return false;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed && !m_failed;
}

} // namespace korrad
