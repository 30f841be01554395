#include "DdsWriter.h"

#include <QFile>
#include <QtEndian>

#include <squish.h>

namespace DdsWriter {

namespace {

// Header flags and capabilities of the DDS format.
constexpr quint32 DdsdCaps = 0x1;
constexpr quint32 DdsdHeight = 0x2;
constexpr quint32 DdsdWidth = 0x4;
constexpr quint32 DdsdPixelFormat = 0x1000;
constexpr quint32 DdsdMipMapCount = 0x20000;
constexpr quint32 DdsdLinearSize = 0x80000;
constexpr quint32 DdpfFourCC = 0x4;
constexpr quint32 DdsCapsComplex = 0x8;
constexpr quint32 DdsCapsTexture = 0x1000;
constexpr quint32 DdsCapsMipMap = 0x400000;

void put(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

quint32 fourCC(const char (&code)[5])
{
    return quint32(quint8(code[0])) | quint32(quint8(code[1])) << 8
         | quint32(quint8(code[2])) << 16 | quint32(quint8(code[3])) << 24;
}

int squishFlags(Format format)
{
    // Range fit is far quicker than cluster fit and plenty for a sample.
    return (format == Format::Dxt1 ? squish::kDxt1 : squish::kDxt3) | squish::kColourRangeFit;
}

QByteArray compress(const QImage &level, Format format)
{
    const QImage rgba = level.convertToFormat(QImage::Format_RGBA8888);
    QByteArray pixels;
    pixels.reserve(qsizetype(rgba.width()) * rgba.height() * 4);
    for (int y = 0; y < rgba.height(); ++y)
        pixels.append(reinterpret_cast<const char *>(rgba.constScanLine(y)), rgba.width() * 4);
    QByteArray blocks(squish::GetStorageRequirements(rgba.width(), rgba.height(), squishFlags(format)),
                      Qt::Uninitialized);
    squish::CompressImage(reinterpret_cast<const squish::u8 *>(pixels.constData()), rgba.width(),
                          rgba.height(), blocks.data(), squishFlags(format));
    return blocks;
}

} // namespace

QByteArray encode(const QImage &picture, Format format)
{
    QList<QByteArray> levels;
    QImage level = picture;
    for (;;) {
        levels.append(compress(level, format));
        if (level.width() == 1 && level.height() == 1)
            break;
        level = picture.scaled(qMax(1, level.width() / 2), qMax(1, level.height() / 2),
                               Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    QByteArray out;
    out.append("DDS ", 4);
    put(out, 124);
    put(out, DdsdCaps | DdsdHeight | DdsdWidth | DdsdPixelFormat | DdsdMipMapCount | DdsdLinearSize);
    put(out, quint32(picture.height()));
    put(out, quint32(picture.width()));
    put(out, quint32(levels.first().size()));
    put(out, 0); // depth
    put(out, quint32(levels.size()));
    for (int i = 0; i < 11; ++i)
        put(out, 0);
    // Pixel format
    put(out, 32);
    put(out, DdpfFourCC);
    put(out, format == Format::Dxt1 ? fourCC("DXT1") : fourCC("DXT3"));
    for (int i = 0; i < 5; ++i)
        put(out, 0);
    put(out, DdsCapsTexture | DdsCapsComplex | DdsCapsMipMap);
    for (int i = 0; i < 4; ++i)
        put(out, 0);
    for (const QByteArray &blocks : levels)
        out.append(blocks);
    return out;
}

bool write(const QString &path, const QImage &picture, Format format)
{
    const QByteArray bytes = encode(picture, format);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace DdsWriter
