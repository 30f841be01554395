#pragma once

#include <QByteArray>
#include <QString>

// Values read from Lutris's YAML configuration files. Each answers an empty
// string when the text is not YAML or has no such value: a broken file of
// another program is never our error to report.

// The Wine prefix of a game configuration (games/*.yml): game: prefix:.
QString lutrisGamePrefix(const QByteArray &yamlText);

// The folder new games are installed into (system.yml): system: game_path:.
QString lutrisGamesFolder(const QByteArray &yamlText);
