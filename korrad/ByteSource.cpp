#include "ByteSource.h"

#include "FailureReason.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace korrad {

MemoryByteSource::MemoryByteSource(const void *data, std::size_t length)
    : m_data(static_cast<const unsigned char *>(data)), m_length(data ? length : 0)
{
}

bool MemoryByteSource::read(std::uint64_t offset, void *target, std::size_t count)
{
    if (offset > m_length || count > m_length - offset)
        return false;
    if (count)
        std::memcpy(target, m_data + offset, count);
    return true;
}

namespace {

bool isRegularFile(std::FILE *file, std::uint64_t &length)
{
#ifdef _WIN32
    struct _stat64 info;
    if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)
        return false;
#else
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
#endif
    if (info.st_size < 0)
        return false;
    length = static_cast<std::uint64_t>(info.st_size);
    return true;
}

// Checked before opening too: opening a pipe for reading would wait for a writer.
bool namesRegularFile(const char *path)
{
#ifdef _WIN32
    struct _stat64 info;
    if (_stat64(path, &info) != 0)
        return refuse("cannot be opened: %s", std::strerror(errno));
    return (info.st_mode & _S_IFMT) == _S_IFREG || refuse("is not a regular file");
#else
    struct stat info;
    if (stat(path, &info) != 0)
        return refuse("cannot be opened: %s", std::strerror(errno));
    return S_ISREG(info.st_mode) || refuse("is not a regular file");
#endif
}

bool seekTo(std::FILE *file, std::uint64_t offset)
{
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

} // namespace

FileByteSource::FileByteSource(const char *path)
{
    if (!path || !*path || !namesRegularFile(path))
        return;
    m_file = std::fopen(path, "rb");
    if (!m_file)
        refuse("cannot be opened: %s", std::strerror(errno));
    if (m_file && !isRegularFile(m_file, m_length)) {
        refuse("is not a regular file");
        std::fclose(m_file);
        m_file = nullptr;
        m_length = 0;
    }
}

FileByteSource::~FileByteSource()
{
    if (m_file)
        std::fclose(m_file);
}

bool FileByteSource::read(std::uint64_t offset, void *target, std::size_t count)
{
    if (!m_file || offset > m_length || count > m_length - offset)
        return false;
    if (offset != m_position) {
        if (!seekTo(m_file, offset)) {
            m_position = UINT64_MAX;
            return false;
        }
        m_position = offset;
    }
    const std::size_t got = std::fread(target, 1, count, m_file);
    m_position += got;
    return got == count;
}

} // namespace korrad
