#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// A DDS texture shrunk to fit a square of `size` pixels, proportions kept,
// never enlarged; a null image when the file is not a texture the
// conversion library reads. Goes through the library's preview road, so at
// most a 512-pixel picture is ever decoded, whatever the file claims.
QImage ddsThumbnail(const QString &path, int size);

// Writes it as PNG without compression. The file is a hand-over: file
// managers load it and store the thumbnail in their cache in their own
// encoding, so deflating it would only cost more than all the decoding.
// False, with the writer's reason, when the device refused.
bool writeThumbnailPng(const QImage &thumbnail, QIODevice *device, QString *error);
