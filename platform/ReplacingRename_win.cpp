#include "ReplacingRename.h"

#include <QDir>

#include <windows.h>

namespace ReplacingRename {

namespace {

// Windows refuses to replace a file that another process holds open without
// sharing deletion: another Corvane reading the list, a virus scanner or the
// search indexer looking at a new file. Such holds last milliseconds, so a
// short wait turns most of them into a done save instead of a told failure.
constexpr int BusyRetries = 40;
constexpr DWORD BusyPauseMs = 25;

bool isBusy(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

} // namespace

static bool renameWithReason(const QString &from, const QString &to, QString *reason)
{
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt <= BusyRetries; ++attempt) {
        if (attempt > 0)
            Sleep(BusyPauseMs);
        if (MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()),
                        reinterpret_cast<const wchar_t *>(target.utf16()),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        error = GetLastError();
        if (!isBusy(error))
            break;
    }
    if (reason)
        *reason = qt_error_string(int(error));
    return false;
}

PaintResult rename(const QString &from, const QString &to)
{
    QString reason;
    if (!renameWithReason(from, to, &reason))
        return PaintResult::failure(to, reason);
    return PaintResult::success(to);
}

} // namespace ReplacingRename
