#pragma once

#include <QString>

// File access with the game's Windows habits: names compared without regard
// to letter case, and the player's files never left half-written.
namespace GameFiles {

// An exact match wins; otherwise a file of the same folder whose name differs
// only in letter case; otherwise the path unchanged (for a file to create).
QString findGameFile(const QString &path);

// Whether the file opens for reading (the game's own test of existence).
bool canOpenForReading(const QString &path);

// Copies source to target unless target (in any letter case) already exists.
// The copy is written to a temporary file beside the target and renamed into
// place without ever replacing a file, so a half-written copy never poses as
// the original.
bool copyIfAbsent(const QString &source, const QString &target, QString *error = nullptr);

// Copies source over target through a temporary file and a rename, so the
// target is either the old file or the whole new one.
bool copyReplacing(const QString &source, const QString &target, QString *error = nullptr);

} // namespace GameFiles
