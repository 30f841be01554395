#include "RegularFileOpen.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace RegularFileOpen {

namespace {
bool fail(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

// A handle of the regular file at the path, or INVALID_HANDLE_VALUE.
HANDLE openRegular(const QString &fileName, QString *reason)
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
            fail(reason, QStringLiteral("is not a regular file"));
        else
            fail(reason, qt_error_string(int(error)));
        return INVALID_HANDLE_VALUE;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        fail(reason, QStringLiteral("is not a regular file"));
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

} // namespace

static bool openWithReason(QFile &file, QString *reason)
{
    HANDLE handle = openRegular(file.fileName(), reason);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd == -1) {
        CloseHandle(handle);
        return fail(reason, qt_error_string(-1));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return fail(reason, file.errorString());
    }
    return true;
}

static bool canReadWithReason(const QString &path, QString *reason)
{
    HANDLE handle = openRegular(path, reason);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

static bool readAllWithReason(const QString &path, qint64 limit, QByteArray &bytes, QString *reason, bool *tooLarge)
{
    bytes.clear();
    if (tooLarge)
        *tooLarge = false;
    HANDLE handle = openRegular(path, reason);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const auto refuse = [&](bool large, const QString &text) {
        CloseHandle(handle);
        bytes.clear();
        if (tooLarge)
            *tooLarge = large;
        return fail(reason, text);
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
    return true;
}

PaintResult openForReading(QFile &file)
{
    // Opened from a handle, the file forgets its name.
    const QString path = file.fileName();
    QString reason;
    if (!openWithReason(file, &reason))
        return PaintResult::failure(path, reason);
    return PaintResult::success(path);
}

PaintResult canRead(const QString &path)
{
    QString reason;
    if (!canReadWithReason(path, &reason))
        return PaintResult::failure(path, reason);
    return PaintResult::success(path);
}

PaintResult readAll(const QString &path, qint64 limit, QByteArray &bytes, bool *tooLarge)
{
    QString reason;
    if (!readAllWithReason(path, limit, bytes, &reason, tooLarge))
        return PaintResult::failure(path, reason);
    return PaintResult::success(path);
}

} // namespace RegularFileOpen
