#pragma once

#include <QString>

// The game's own install folder as its installer recorded it ("EXE Path"),
// as a native path, and the Wine prefix it was read from (empty on Windows).
struct GameInstallEntry
{
    QString folder; // empty when there is no such entry
    QString prefix;
};

// Under Wine, the first prefix whose entry names a folder that still exists.
// Never raises.
GameInstallEntry readGameInstallEntry();

inline QString readGameInstallFolder()
{
    return readGameInstallEntry().folder;
}
