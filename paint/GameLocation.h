#pragma once

#include "GameRegistry.h"
#include "PaintResult.h"

#include <QString>

#include <functional>

class SettingsStore;

namespace GameLocation {

// Empty while the game folder is.
QString aircraftFolderOf(const QString &gameFolder);

// The folder part of a picked file, separator included.
QString folderOfFile(const QString &filePath);

// Where "Locate CFS3.exe" opens: the first of the game folder, the system
// drive (Wine's drive_c) and the home folder that is an existing folder.
QString searchStartFolder(const QString &gameFolder, const QString &systemDrive,
                          const QString &homeFolder);

// Where the game folder in use came from, for a player who wonders which of
// several installs Corvane works on.
struct Origin
{
    enum Source { Nowhere, Given, Settings, Registry };
    QString folder; // with its trailing separator, empty when not found
    Source source = Nowhere;
    QString prefix; // the Wine prefix whose registry named it
};

// Stored "CFSPath" first; when empty, the game's own registry entry.
// A stored value of the wrong type is reported through onError and treated
// as empty, so a damaged setting never locks the player out.
Origin locate(SettingsStore &settings, const QString &section,
              const std::function<GameInstallEntry()> &readRegistry,
              const std::function<void(const PaintResult &)> &onError);

// One line for the player: "Corvane's settings", "the game's registry entry
// in the Wine prefix ~/.wine" and the like.
QString describeSource(const Origin &origin);

} // namespace GameLocation
