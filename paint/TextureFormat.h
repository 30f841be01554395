#pragma once

#include "PaintResult.h"

#include <QByteArray>
#include <QString>

// What the game can load as a texture: a DDS file compressed as DXT1, DXT3 or
// DXT5, or holding plain 24- or 32-bit RGB(A), with sides that are powers of
// two. Judged from the header alone.
namespace TextureFormat {

// Why the game cannot load a texture with this header, or an empty text
// when it can.
QString problemWithHeader(const QByteArray &header);

// The same for a file, the result naming it; a file that cannot be read is
// a problem too.
PaintResult checkFile(const QString &path);

// What a file's first bytes say it is, for a message: "a DDS texture",
// "a PNG picture", "a ZIP archive", "an empty file", "text", ...
QString kindOfContent(const QByteArray &head);

} // namespace TextureFormat
