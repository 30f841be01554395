#include "DiskSync.h"

#include <io.h>
#include <windows.h>

namespace DiskSync {

PaintResult syncFile(QFileDevice &file)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle))
        return PaintResult::failure(file.fileName(), qt_error_string(int(GetLastError())));
    return PaintResult::success(file.fileName());
}

void startWriting(QFileDevice &, qint64, qint64)
{
    // Windows offers no way to start a file's writing without waiting for
    // it; its cache writes behind on its own.
}

PaintResult syncFiles(const QStringList &paths)
{
    // A whole volume can be flushed only by an administrator: each file is
    // flushed instead, all of them after all were written.
    PaintResult result = PaintResult::success();
    for (const QString &path : paths) {
        const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle))
            result = PaintResult::failure(path, qt_error_string(int(GetLastError())));
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    return result;
}

PaintResult syncFolder(const QString &folder)
{
    // Windows keeps folder entries durable by itself.
    return PaintResult::success(folder);
}

} // namespace DiskSync
