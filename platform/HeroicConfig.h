#pragma once

#include <QByteArray>
#include <QStringList>

// Values read from Heroic's JSON files. Text that is not JSON, or has no such
// value, gives nothing: a broken file of another program only hides prefixes.

// The winePrefix of every game in a GamesConfig/<game>.json file.
QStringList heroicGamePrefixes(const QByteArray &jsonText);

// The folder new prefixes are made in (config.json: defaultSettings:
// defaultWinePrefix).
QString heroicDefaultPrefixFolder(const QByteArray &jsonText);
