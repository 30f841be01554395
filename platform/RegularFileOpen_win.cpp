#include "RegularFileOpen.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace RegularFileOpen {

namespace {

// The regular file at a path, opened for reading; or no handle and why.
struct Opened
{
    HANDLE handle = INVALID_HANDLE_VALUE;
    PaintResult result;
};

Opened openRegular(const QString &fileName)
{
    const std::wstring path = fileName.toStdWString();
    // Shared for reading, writing and deleting, as Qt opens files: a player's
    // paint open in an editor must not stop Corvane from reading it.
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A folder cannot be opened as a file at all: Windows says "access
        // denied", where the player needs to hear what the thing is.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return {INVALID_HANDLE_VALUE, PaintResult::failure(fileName, QStringLiteral("is not a regular file"))};
        return {INVALID_HANDLE_VALUE, PaintResult::failure(fileName, qt_error_string(int(error)))};
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        return {INVALID_HANDLE_VALUE, PaintResult::failure(fileName, QStringLiteral("is not a regular file"))};
    }
    return {handle, PaintResult::success(fileName)};
}

} // namespace

PaintResult openForReading(QFile &file)
{
    // Opened from a handle, the file forgets its name.
    const QString path = file.fileName();
    const Opened opened = openRegular(path);
    if (opened.handle == INVALID_HANDLE_VALUE)
        return opened.result;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(opened.handle), _O_RDONLY | _O_BINARY);
    if (fd == -1) {
        CloseHandle(opened.handle);
        return PaintResult::failure(path, qt_error_string(-1));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return PaintResult::failure(path, file.errorString());
    }
    return opened.result;
}

PaintResult canRead(const QString &path)
{
    const Opened opened = openRegular(path);
    if (opened.handle != INVALID_HANDLE_VALUE)
        CloseHandle(opened.handle);
    return opened.result;
}

PaintResult readAll(const QString &path, qint64 limit, QByteArray &bytes, bool *tooLarge)
{
    bytes.clear();
    if (tooLarge)
        *tooLarge = false;
    const Opened opened = openRegular(path);
    if (opened.handle == INVALID_HANDLE_VALUE)
        return opened.result;
    const HANDLE handle = opened.handle;
    const auto refuse = [&](bool large, const QString &text) {
        CloseHandle(handle);
        bytes.clear();
        if (tooLarge)
            *tooLarge = large;
        return PaintResult::failure(path, text);
    };
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size))
        return refuse(false, qt_error_string(int(GetLastError())));
    if (size.QuadPart > limit)
        return refuse(true, QString());
    // Read until the end, one byte past the limit at most: the file may
    // change while it is read.
    bytes.resize(qMin<qint64>(limit + 1, size.QuadPart + 1));
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > limit)
                return refuse(true, QString());
            bytes.resize(qMin<qint64>(limit + 1, qMax<qint64>(4096, got * 2)));
        }
        DWORD read = 0;
        const DWORD wanted = DWORD(qMin<qint64>(bytes.size() - got, 1 << 30));
        if (!ReadFile(handle, bytes.data() + got, wanted, &read, nullptr))
            return refuse(false, qt_error_string(int(GetLastError())));
        if (read == 0)
            break;
        got += read;
    }
    CloseHandle(handle);
    bytes.truncate(got);
    return opened.result;
}

} // namespace RegularFileOpen
