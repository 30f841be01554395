#include "GameRegistry.h"

#include "WineRegistry.h"

namespace {
const QString gameKey = QStringLiteral("Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\3.0");
const QString gameKey32On64 = QStringLiteral("Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\3.0");
} // namespace

QString readGameInstallFolder()
{
    const WineRegistry registry(WineRegistry::defaultPrefix());
    QString exePath = registry.machineText(gameKey, QStringLiteral("EXE Path"));
    if (exePath.isEmpty())
        exePath = registry.machineText(gameKey32On64, QStringLiteral("EXE Path"));
    if (exePath.isEmpty())
        return QString();
    return registry.toNativePath(exePath);
}
