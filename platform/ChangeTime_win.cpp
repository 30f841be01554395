#include "ChangeTime.h"

#include <windows.h>

namespace ChangeTime {

QDateTime of(const QFileInfo &file)
{
    const QString path = file.absoluteFilePath();
    // No access asked for: only the attributes are read, and sharing
    // everything keeps the file usable by others meanwhile.
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return QDateTime();
    FILE_BASIC_INFO info;
    const bool read = GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof info);
    CloseHandle(handle);
    if (!read)
        return QDateTime();
    // 100-nanosecond steps since 1601-01-01, UTC.
    constexpr qint64 epochDifferenceMs = 11644473600000LL;
    return QDateTime::fromMSecsSinceEpoch(info.ChangeTime.QuadPart / 10000 - epochDifferenceMs, Qt::UTC);
}

} // namespace ChangeTime
