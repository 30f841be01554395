#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// What Corvane accepts as a texture: the DDS files the game reads, and the
// picture formats the preview shows.
namespace TextureFile {

bool hasTextureExtension(const QString &fileName);

// Whether the first bytes fit the extension, so a renamed read-me or program
// is never installed as a paint. TGA has no signature and passes on its name.
bool contentFitsExtension(const QString &fileName, QByteArrayView head);

// Pixel size and pixel format of a DDS file. Two textures with equal shapes
// can stand in for each other in the game.
struct DdsShape
{
    quint32 width = 0;
    quint32 height = 0;
    QByteArray format; // "DXT1", "DX10:71", "RGB32:ff0000:ff00:ff:ff000000", ...

    bool operator==(const DdsShape &) const = default;
    QString describe() const;
};

std::optional<DdsShape> ddsShape(QByteArrayView bytes);
std::optional<DdsShape> readDdsShape(const QString &path);

} // namespace TextureFile
