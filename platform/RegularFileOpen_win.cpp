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
} // namespace

bool openForReading(QFile &file, QString *reason)
{
    const std::wstring path = file.fileName().toStdWString();
    // Shared for reading, writing and deleting, as Qt opens files: a player's
    // paint open in an editor must not stop Corvane from reading it.
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return fail(reason, qt_error_string(int(GetLastError())));
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        return fail(reason, QStringLiteral("is not a regular file"));
    }
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

} // namespace RegularFileOpen
