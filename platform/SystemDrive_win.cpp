#include "SystemDrive.h"

QString systemDriveFolder()
{
    return qEnvironmentVariable("SystemDrive", QStringLiteral("C:")) + QStringLiteral("\\");
}
