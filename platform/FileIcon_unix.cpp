#include "FileIcon.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace corvane::platform {

QIcon fileIcon(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists())
        return {};
    return QFileIconProvider().icon(info);
}

} // namespace corvane::platform
