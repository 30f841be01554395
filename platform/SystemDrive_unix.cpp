#include "SystemDrive.h"

#include "WinePrefixSearch.h"

#include <QFileInfo>

QString systemDriveFolder()
{
    for (const QString &prefix : winePrefixesToSearch(WinePrefixPlaces::fromEnvironment())) {
        const QString driveC = prefix + QStringLiteral("/drive_c/");
        if (QFileInfo(driveC).isDir())
            return driveC;
    }
    return QString();
}
