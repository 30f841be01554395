#include "NoReplaceRename.h"

#include <windows.h>

namespace NoReplaceRename {

static bool renameWithReason(const QString &from, const QString &to, QString *reason)
{
    // Without MOVEFILE_REPLACE_EXISTING the move refuses any existing name.
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(from.utf16()),
                    reinterpret_cast<const wchar_t *>(to.utf16()), MOVEFILE_WRITE_THROUGH))
        return true;
    if (reason)
        *reason = qt_error_string(int(GetLastError()));
    return false;
}

PaintResult rename(const QString &from, const QString &to)
{
    QString reason;
    if (!renameWithReason(from, to, &reason))
        return PaintResult::failure(to, reason);
    return PaintResult::success(to);
}

} // namespace NoReplaceRename
