#include "RuntimeFolder.h"

#include <QDir>
#include <QStandardPaths>

QString userRuntimeFolder()
{
    // The session's runtime folder is private to the user and cleared at
    // each boot; without one (a bare ssh login), the cache folder. Qt warns
    // on stderr when asked for a runtime folder that is not set, so ask only
    // when it is.
    QString folder;
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    folder += QStringLiteral("/corvane");
    QDir().mkpath(folder);
    return folder;
}
