#pragma once

#include <QString>
#include <QStringList>

// The folders below which the player's Wine prefix managers keep their
// prefixes; the search looks nowhere else.
struct WinePrefixPlaces
{
    QString winePrefix; // $WINEPREFIX, empty when unset
    QString home;
    QString configHome; // $XDG_CONFIG_HOME, else ~/.config
    QString dataHome;   // $XDG_DATA_HOME, else ~/.local/share

    static WinePrefixPlaces fromEnvironment();
};

// Every Wine prefix (a folder holding system.reg) that the player's tools
// made, each once, in the order the game is looked for: $WINEPREFIX,
// ~/.wine, winetricks ($XDG_DATA_HOME/wineprefixes/*), Lutris (the prefix of
// each game configuration, then each folder of its games folder), Heroic
// (each game's winePrefix, then its prefix folders), Bottles, PlayOnLinux,
// CrossOver (~/.cxoffice/*) and Steam (compatdata/*/pfx in every library
// folder). Missing or broken files of those tools are passed over without a
// word.
QStringList winePrefixesToSearch(const WinePrefixPlaces &places);
