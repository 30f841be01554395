#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// A DDS texture shrunk to fit a square of `size` pixels (512 at most),
// proportions kept, never enlarged; a null image when the file is not a
// texture the conversion library reads. Goes through the library's preview
// road: the area mean of a mip level at least twice as large.
QImage ddsThumbnail(const QString &path, int size);

// Writes it as PNG, deflated at zlib's fastest level: file managers keep the
// file in their cache as it is, one per texture shown, where a stored
// 256-pixel thumbnail takes 197 KB. False, with the writer's reason, when
// the device refused.
bool writeThumbnailPng(const QImage &thumbnail, QIODevice *device, QString *error);
