#include "RuntimeFolder.h"

#include <QDir>
#include <QStandardPaths>

QString userRuntimeFolder()
{
    // Windows has no runtime folder; the user's local cache is private to
    // the user and not roamed to other machines.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    folder += QStringLiteral("/corvane");
    QDir().mkpath(folder);
    return folder;
}
