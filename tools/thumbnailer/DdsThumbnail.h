#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// A DDS texture shrunk to fit a square of `size` pixels, proportions kept,
// never enlarged; a null image when the file is not a texture the
// conversion library reads. Goes through the library's preview road, so at
// most a 512-pixel picture is ever decoded, whatever the file claims.
QImage ddsThumbnail(const QString &path, int size);

// Writes it as PNG, compressed lightly: zlib's default effort would cost
// more than all the decoding, for a file a few percent smaller. False, with
// the writer's reason, when the device refused.
bool writeThumbnailPng(const QImage &thumbnail, QIODevice *device, QString *error);
