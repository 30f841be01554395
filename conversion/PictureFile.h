#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Pictures outside the window, where no Qt Gui is linked: the BMP the
// conversion library writes, read back, fitted and encoded as BMP or PNG.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // 3 bytes a pixel, rows top to bottom

    bool isNull() const { return width <= 0 || height <= 0; }
};

namespace PictureFile {

Picture readBmp(const QString &path);

// Scaled so the longer side is `side` pixels, proportions kept (whole
// pixels, at least one), as the preview's export sizes its picture.
Picture fitted(const Picture &picture, int side);

enum Format { Bmp, Png };

// The file's bytes in that format; empty for a null picture.
QByteArray encode(const Picture &picture, Format format);

} // namespace PictureFile
