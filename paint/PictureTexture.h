#pragma once

#include "PaintResult.h"
#include "TextureFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Pictures saved from a paint program (PNG, BMP, TGA, JPEG) made into the
// DDS texture the game loads: in the format of the aircraft's original
// texture, at its size, with every mipmap level.
namespace PictureTexture {

bool isPicture(const QString &fileName);

struct PictureSize
{
    int width = 0;
    int height = 0;
};

// The picture's size from its bytes (the first few kilobytes suffice for
// all but JPEGs with large embedded data); nothing when it cannot be read.
std::optional<PictureSize> sizeOf(QByteArrayView bytes);

// Why a picture of that size cannot become a texture like the original, or
// an empty text: the original must be a format Corvane writes (DXT1, DXT3,
// DXT5, or plain 24- or 32-bit RGB), and the picture must have its aspect.
QString problemWithMaking(const PictureSize &picture, const TextureFile::DdsShape &original);

// The DDS file's bytes into dds, or refused with the reason (naming no file).
PaintResult makeDds(QByteArrayView picture, const TextureFile::DdsShape &original, QByteArray &dds);

} // namespace PictureTexture
