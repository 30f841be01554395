#pragma once

#include <QByteArray>
#include <QString>

// The read-me that came with a paint (credits, squadron, era), kept beside
// its texture as "<texture base name>.txt" and shown with the paint.
namespace PaintNote {

// Read-mes are a few kilobytes; anything larger is no read-me.
constexpr qsizetype MostBytes = 64 * 1024;

bool isNoteFileName(const QString &fileName);

// Text in any of the encodings read-mes come in (UTF-8 or UTF-16 with or
// without a byte order mark, else Windows-1252), line ends made "\n" and
// control characters other than tabs dropped.
QString decode(const QByteArray &bytes);

// What is written to the aircraft folder: UTF-8 with CR LF line ends.
QByteArray encode(const QString &text);

// The note's file name for a texture file name: "Red_Tails.dds" gives
// "Red_Tails.txt".
QString noteFileNameFor(const QString &textureFileName);

// The note of a paint texture in an aircraft folder, or an empty text when
// there is none or it may not be read.
QString readFor(const QString &aircraftFolder, const QString &texturePath);

} // namespace PaintNote
