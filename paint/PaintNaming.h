#pragma once

#include <QString>
#include <QStringList>

// Names offered for a downloaded texture, and the file names it is stored
// under.
namespace PaintNaming {

// A paint name a player would type: "p51_red_tail.dds" gives "P51 Red Tail".
// Underscores, dots and hyphens part words, but a hyphen before a digit
// stays ("P-51D", "F4U-1D"); each word gets a capital first letter and keeps
// the rest as written ("RAF" stays "RAF"). A name written in one piece is
// parted where a lower-case letter meets a capital word ("YellowNose").
QString readableName(const QString &fileName);

// The readable name of a file, folder or archive name without the words
// that only say which aircraft it is for: the aircraft's own names (in any
// spelling, "P-51D" for "P51D") and a trailing "t" of a main texture name.
// Empty when nothing else is left, or when the name is a generic one
// ("textures", "skin").
QString paintNameFrom(const QString &name, const QStringList &aircraftNames);

// A paint name given by a read-me: its "Name:" or "Title:" line, else its
// first line, when short and plain; empty otherwise.
QString nameInReadme(const QString &text);

// A file name for a paint: its name in letters, digits, '-' and '_' only
// (accents dropped, other characters and spaces become '_'), letter case
// kept, never a name Windows keeps for a device, with the extension given
// ("Silver Bird", ".dds" gives "Silver_Bird.dds").
QString fileNameForPaint(const QString &paintName, const QString &extension);

// The file name with " (n)" before its extension: "red.dds", 2 gives
// "red (2).dds".
QString numberedFileName(const QString &fileName, int number);

// The numbered file name (number 1: the name itself), its stem shortened
// until it fits both a file name of the file system (255 bytes) and a line
// of the paint list (253); the extension stays. `shortened` tells whether
// it had to be.
QString fittedFileName(const QString &fileName, int number, bool *shortened = nullptr);

} // namespace PaintNaming
