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

} // namespace PaintNaming
