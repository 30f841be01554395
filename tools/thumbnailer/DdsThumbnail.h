#pragma once

#include <QImage>
#include <QString>

// A DDS texture shrunk to fit a square of `size` pixels, proportions kept,
// never enlarged; a null image when the file is not a texture the
// conversion library reads. Goes through the library's preview road, so at
// most a 512-pixel picture is ever decoded, whatever the file claims.
QImage ddsThumbnail(const QString &path, int size);
