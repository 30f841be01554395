#include "FileIcon.h"

#include <QDir>
#include <QImage>
#include <QPixmap>

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

namespace corvane::platform {

QIcon fileIcon(const QString &fileName)
{
    const std::wstring name = QDir::toNativeSeparators(fileName).toStdWString();
    // The shell writes back into this buffer, so a name that does not fit is
    // refused rather than cut.
    if (name.empty() || name.size() >= MAX_PATH)
        return {};
    wchar_t path[MAX_PATH] = {};
    wcsncpy(path, name.c_str(), MAX_PATH - 1);
    WORD index = 0;
    HICON handle = ExtractAssociatedIconW(nullptr, path, &index);
    if (!handle)
        return {};
    const QImage image = QImage::fromHICON(handle);
    DestroyIcon(handle);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

} // namespace corvane::platform
