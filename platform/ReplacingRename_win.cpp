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

PaintResult rename(const QString &from, const QString &to)
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
            return PaintResult::success(to);
        error = GetLastError();
        if (!isBusy(error))
            break;
    }
    return PaintResult::failure(to, qt_error_string(int(error)));
}

} // namespace ReplacingRename
