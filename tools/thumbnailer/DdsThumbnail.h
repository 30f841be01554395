#pragma once

#include "PaintResult.h"
#include "PictureFile.h"

#include <QString>

// The largest thumbnail made: file managers ask for 1024 pixels at most, and
// a larger one would decode far more than it shows.
constexpr int LargestThumbnailSide = 512;

// A DDS texture shrunk to fit a square of `size` pixels (512 at most),
// proportions kept, never enlarged, through the preview's conversion road:
// the smallest mipmap level that serves. A null picture and the reason when
// the file is not a texture the conversion library reads.
Picture ddsThumbnail(const QString &path, int size, PaintResult *result);

// Its PNG file's bytes, deflated at zlib's fastest level: file managers keep
// the file in their cache as it is, one per texture shown.
QByteArray thumbnailPng(const Picture &thumbnail);
