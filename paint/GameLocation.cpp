#include "GameLocation.h"

#include "NativePath.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace GameLocation {

QString aircraftFolderOf(const QString &gameFolder)
{
    // Without a game folder, "Aircraft" would be a folder of wherever the
    // program was started, and lists and backups would be written there.
    if (gameFolder.isEmpty())
        return QString();
    return gameFolder + QStringLiteral("Aircraft") + QDir::separator();
}

QString folderOfFile(const QString &filePath)
{
    return NativePath::folderOf(QDir::toNativeSeparators(filePath));
}

QString searchStartFolder(const QString &gameFolder, const QString &systemDrive,
                          const QString &homeFolder)
{
    // Starting at the root of the file system leaves a new player lost.
    for (const QString &folder : {gameFolder, systemDrive}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return homeFolder;
}

Origin locate(SettingsStore &settings, const QString &section,
              const std::function<GameInstallEntry()> &readRegistry,
              const std::function<void(const PaintResult &)> &onError)
{
    Origin origin;
    const PaintResult read = settings.readText(section, QStringLiteral("CFSPath"), origin.folder);
    if (!read) {
        origin.folder.clear();
        onError(read);
    }
    if (!origin.folder.isEmpty()) {
        origin.source = Origin::Settings;
    } else {
        const GameInstallEntry entry = readRegistry();
        origin.folder = entry.folder;
        origin.prefix = entry.prefix;
        if (!origin.folder.isEmpty())
            origin.source = Origin::Registry;
    }
    origin.folder = NativePath::withTrailingSeparator(origin.folder);
    return origin;
}

QString describeSource(const Origin &origin)
{
    switch (origin.source) {
    case Origin::Nowhere:
        return QStringLiteral("not found: neither Corvane's settings nor the game's registry entry name it");
    case Origin::Given:
        return QStringLiteral("given on the command line");
    case Origin::Settings:
        return QStringLiteral("Corvane's settings (CFSPath)");
    case Origin::Registry:
        if (origin.prefix.isEmpty())
            return QStringLiteral("the game's registry entry (EXE Path)");
        return QStringLiteral("the game's registry entry (EXE Path) in the Wine prefix %1")
            .arg(QDir::toNativeSeparators(origin.prefix));
    }
    return QString();
}

} // namespace GameLocation
