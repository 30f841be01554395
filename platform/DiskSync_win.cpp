#include "DiskSync.h"

#include <io.h>
#include <windows.h>

namespace DiskSync {

static bool syncFileWithReason(QFileDevice &file, QString *reason)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    if (handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle))
        return true;
    if (reason)
        *reason = qt_error_string(int(GetLastError()));
    return false;
}

void startWriting(QFileDevice &, qint64, qint64)
{
    // Windows offers no way to start a file's writing without waiting for
    // it; its cache writes behind on its own.
}

static bool syncFilesWithReason(const QStringList &paths, QString *reason, QString *failed)
{
    // A whole volume can be flushed only by an administrator: each file is
    // flushed instead, all of them after all were written.
    bool synced = true;
    for (const QString &path : paths) {
        const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle)) {
            if (reason)
                *reason = qt_error_string(int(GetLastError()));
            if (failed)
                *failed = path;
            synced = false;
        }
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    return synced;
}

PaintResult syncFile(QFileDevice &file)
{
    QString reason;
    if (!syncFileWithReason(file, &reason))
        return PaintResult::failure(file.fileName(), reason);
    return PaintResult::success(file.fileName());
}

PaintResult syncFolder(const QString &folder)
{
    // Windows keeps folder entries durable by itself.
    return PaintResult::success(folder);
}

PaintResult syncFiles(const QStringList &paths)
{
    QString reason;
    QString failed;
    if (!syncFilesWithReason(paths, &reason, &failed))
        return PaintResult::failure(failed, reason);
    return PaintResult::success();
}

} // namespace DiskSync
