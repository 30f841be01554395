#pragma once

#include <QString>

#include <functional>

class SettingsStore;

namespace GameLocation {

QString aircraftFolderOf(const QString &gameFolder);

// The folder part of a picked file, separator included.
QString folderOfFile(const QString &filePath);

// Where "Locate CFS3.exe" opens: the first of the game folder, the system
// drive (Wine's drive_c) and the home folder that is an existing folder.
QString searchStartFolder(const QString &gameFolder, const QString &systemDrive,
                          const QString &homeFolder);

// Stored "CFSPath" first; when empty, the game's own registry entry.
// A stored value of the wrong type is reported through onError and treated
// as empty, so a damaged setting never locks the player out.
QString resolve(SettingsStore &settings, const QString &section,
                const std::function<QString()> &readRegistry,
                const std::function<void(const QString &)> &onError);

} // namespace GameLocation
