#pragma once

#include "AircraftFileCheck.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

// One paint of a list: both values as the file holds them, bytes untouched,
// so that an unchanged row is written back exactly as it was read.
struct PaintEntry
{
    QByteArray name;
    QByteArray texture;

    bool operator==(const PaintEntry &) const = default;
};

struct PaintListContents
{
    QByteArray title;
    QByteArray mainTexture;
    QList<PaintEntry> paints;
    // The first line (from 1) too long for one read, which therefore came
    // in as several values; 0 when every line read was whole.
    int firstSplitLine = 0;

    bool operator==(const PaintListContents &) const = default;
};

// The per-aircraft paint list file: reading it into its values, and its two
// written forms. Lines are always written with CR LF ends, since the same
// files are read by the Windows copy of the game and edited in Notepad.
namespace PaintListFile {

// No real list comes near this; a bigger file is refused unread, so a hostile
// one can neither freeze the window nor fill the memory.
constexpr qint64 MaxFileSize = 1024 * 1024;

// The whole file, when it is a regular file of the list's own folder no
// bigger than MaxFileSize; else the problem, naming the file, for the player.
PaintResult readBytes(const QString &path, QByteArray &bytes);
// The same for a list the caller has just checked.
PaintResult readBytes(const FileVerdict &checked, QByteArray &bytes);

// Reads the values of a list. Quirks kept on purpose, because hand-edited
// lists out there depend on them: a missing texture line takes whatever the
// line buffer holds (the paint's own name at end of file, the end line's
// text before an end line), and reading then goes on after that end line.
PaintResult load(const QString &path, PaintListContents &contents);
PaintListContents parse(QIODevice &device);
PaintListContents parse(const QByteArray &bytes);

// The short form written when an aircraft is first seen (7 lines).
PaintResult writeInitial(const QString &path, const QByteArray &title, const QByteArray &mainTextureName);

// The initial form for a list that does not exist yet, at a path the file
// check allowed for writing just now, for a scan that creates many: an
// existing file is never replaced, and nothing is synced to disk here. The
// caller syncs all it created at once (DiskSync::syncFiles): a sync per file
// made a first scan of 1000 aircraft last seconds.
PaintResult createInitial(const FileVerdict &checkedList, const QByteArray &title,
                          const QByteArray &mainTextureName);

// Replaces the list with these bytes, after the same check and through the
// safe save the writers above use. A failure of the writing itself gives
// the system's reason alone.
PaintResult writeBytes(const QString &path, const QByteArray &bytes);

// The bytes of the two forms. The full form has 4n + 7 lines; texture values
// are written as they were read, subfolder and all.
QByteArray initialForm(const QByteArray &title, const QByteArray &mainTextureName);
QByteArray fullForm(const QByteArray &title, const QByteArray &mainTextureName,
                    const QList<PaintEntry> &paints);

// The main texture a new list names: the definition's base name followed by
// "_t.dds".
QString defaultMainTexture(const QString &baseName);

// The folder of a paint list path, up to and including its last separator.
QString folderOf(const QString &paintListPath);

// A texture value of a list resolved against the list's folder. Values
// written on Windows may name a subfolder with backslashes.
QString texturePath(const QString &folder, const QByteArray &value);

} // namespace PaintListFile
