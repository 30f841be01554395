#include "GameLocation.h"

#include "SettingsStore.h"

#include <QDir>

namespace GameLocation {

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty())
        return folder;
    QString native = QDir::toNativeSeparators(folder);
    if (!native.endsWith(QDir::separator()))
        native += QDir::separator();
    return native;
}

QString aircraftFolderOf(const QString &gameFolder)
{
    return gameFolder + QStringLiteral("Aircraft") + QDir::separator();
}

QString folderOfFile(const QString &filePath)
{
    const QString native = QDir::toNativeSeparators(filePath);
    return native.left(native.lastIndexOf(QDir::separator()) + 1);
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
    return withTrailingSeparator(folder);
}

} // namespace GameLocation
