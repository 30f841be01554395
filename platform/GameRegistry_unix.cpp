#include "GameRegistry.h"

#include "WinePrefixSearch.h"
#include "WineRegistry.h"

#include <QFileInfo>

namespace {

const QString gameKey = QStringLiteral("Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\3.0");
const QString gameKey32On64 = QStringLiteral("Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\3.0");

QString gameFolderInPrefix(const QString &prefix)
{
    const WineRegistry registry(prefix);
    QString exePath;
    PaintResult read = registry.machineText(gameKey, QStringLiteral("EXE Path"), exePath);
    if (exePath.isEmpty() && read)
        read = registry.machineText(gameKey32On64, QStringLiteral("EXE Path"), exePath);
    if (!read)
        qWarning("%s", qPrintable(read.reason));
    if (exePath.isEmpty())
        return QString();
    return registry.toNativePath(exePath);
}

} // namespace

// A player may have several prefixes, some holding a game since deleted;
// only one whose game folder is still there counts.
GameInstallEntry readGameInstallEntry()
{
    for (const QString &prefix : winePrefixesToSearch(WinePrefixPlaces::fromEnvironment())) {
        const QString folder = gameFolderInPrefix(prefix);
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return {folder, prefix};
    }
    return {};
}
