#include "GameLocation.h"

#include "NativePath.h"
#include "SettingsStore.h"

#include <QDir>

namespace GameLocation {

QString aircraftFolderOf(const QString &gameFolder)
{
    return gameFolder + QStringLiteral("Aircraft") + QDir::separator();
}

QString folderOfFile(const QString &filePath)
{
    return NativePath::folderOf(QDir::toNativeSeparators(filePath));
}

QString resolve(SettingsStore &settings, const QString &section,
                const std::function<QString()> &readRegistry,
                const std::function<void(const QString &)> &onError)
{
    QString folder;
    try {
        folder = settings.readText(section, QStringLiteral("CFSPath"), QString());
    } catch (const SettingsError &error) {
        onError(error.message());
    }
    if (folder.isEmpty())
        folder = readRegistry();
    return NativePath::withTrailingSeparator(folder);
}

} // namespace GameLocation
