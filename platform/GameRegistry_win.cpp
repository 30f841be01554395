#include "GameRegistry.h"

#include "GameKey.h"

QString readGameInstallFolder()
{
    return QString::fromStdWString(corvane::win32::readGameExePath());
}
