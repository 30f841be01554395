#pragma once

#include "PaintResult.h"

#include <QString>
#include <QStringList>

// File access with the game's Windows habits: names compared without regard
// to letter case, and the player's files never left half-written. Every file
// is checked right before it is touched (AircraftFileCheck), so nothing
// outside the aircraft folder is ever read or written.
namespace GameFiles {

// An exact match wins; otherwise the file whose name and folders differ only
// in letter case; otherwise the path with as many of its folders found as
// exist (for a file to create). A path ending in a separator names a folder
// and keeps its separator.
QString findGameFile(const QString &path);

// The order Windows lists a folder in: by name, letter case ignored.
bool listsBefore(const QString &a, const QString &b);
void sortAsListed(QStringList &names);

// Whether the file is a regular file that opens for reading (the game's own
// test of existence). Never waits on a pipe.
bool canOpenForReading(const QString &path);

// Copies source to target unless anything (in any letter case) is already at
// target, a link leading nowhere included. The copy is renamed into place
// without ever replacing a file, so a half-written copy never poses as the
// original.
PaintResult copyIfAbsent(const QString &aircraftFolder, const QString &source, const QString &target);

// Copies source over target through a temporary file and a rename, so the
// target is either the old file or the whole new one. Without syncNow the
// caller syncs later, once for many files (DiskSync::syncFiles).
PaintResult copyReplacing(const QString &aircraftFolder, const QString &source, const QString &target,
                          bool syncNow = true);

} // namespace GameFiles
