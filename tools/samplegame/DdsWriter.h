#pragma once

#include <QByteArray>
#include <QImage>

// Block-compressed DirectDraw Surface files with a full mipmap chain, the
// texture format the game reads.
namespace DdsWriter {

enum class Format { Dxt1, Dxt3 };

// Compresses the picture and each smaller level down to 1 x 1.
QByteArray encode(const QImage &picture, Format format);

bool write(const QString &path, const QImage &picture, Format format);

} // namespace DdsWriter
