#include "NoReplaceRename.h"

#include <windows.h>

namespace NoReplaceRename {

PaintResult rename(const QString &from, const QString &to)
{
    // Without MOVEFILE_REPLACE_EXISTING the move refuses any existing name.
    if (!MoveFileExW(reinterpret_cast<const wchar_t *>(from.utf16()),
                     reinterpret_cast<const wchar_t *>(to.utf16()), MOVEFILE_WRITE_THROUGH))
        return PaintResult::failure(to, qt_error_string(int(GetLastError())));
    return PaintResult::success(to);
}

} // namespace NoReplaceRename
