#include "ReplacingRename.h"

#include <QDir>

#include <windows.h>

namespace ReplacingRename {

bool rename(const QString &from, const QString &to, QString *reason)
{
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()), reinterpret_cast<const wchar_t *>(target.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    if (reason)
        *reason = qt_error_string(int(GetLastError()));
    return false;
}

} // namespace ReplacingRename
