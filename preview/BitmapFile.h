#pragma once

#include <QImage>
#include <QString>

// BMP files as the preview reads and writes them.
namespace BitmapFile {

// A null image when the file cannot be read as a BMP.
QImage read(const QString &path);

// Writes through a temporary file and a rename, so a failed write leaves any
// earlier file whole. False when anything went wrong.
bool write(const QImage &image, const QString &path);

} // namespace BitmapFile
