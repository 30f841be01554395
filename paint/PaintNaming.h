#pragma once

#include <QString>

// Names offered for a downloaded texture.
namespace PaintNaming {

// A paint name a player would type: "p51_red_tail.dds" gives "P51 Red Tail".
// Underscores, hyphens and dots part words; each word gets a capital first
// letter and keeps the rest as written ("RAF" stays "RAF").
QString readableName(const QString &fileName);

// The file name with " (n)" before its extension: "red.dds", 2 gives
// "red (2).dds".
QString numberedFileName(const QString &fileName, int number);

// The numbered file name (number 1: the name itself), its stem shortened
// until it fits both a file name of the file system (255 bytes) and a line
// of the paint list (253); the extension stays. `shortened` tells whether
// it had to be.
QString fittedFileName(const QString &fileName, int number, bool *shortened = nullptr);

// A file name made from a paint's name, for a texture whose own name may
// not be used: characters Windows does not allow in file names become
// spaces, and the extension is kept ("Silver Bird", ".dds" gives
// "Silver Bird.dds").
QString fileNameForPaint(const QString &paintName, const QString &extension);

} // namespace PaintNaming
