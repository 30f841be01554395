#include "GameRegistry.h"

#include "GameKey.h"

GameInstallEntry readGameInstallEntry()
{
    return {QString::fromStdWString(corvane::win32::readGameExePath()), QString()};
}
