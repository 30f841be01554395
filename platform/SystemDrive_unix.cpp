#include "SystemDrive.h"

#include "WineRegistry.h"

#include <QFileInfo>

QString systemDriveFolder()
{
    const QString driveC = WineRegistry::defaultPrefix() + QStringLiteral("/drive_c/");
    return QFileInfo(driveC).isDir() ? driveC : QString();
}
