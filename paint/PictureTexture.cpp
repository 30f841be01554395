#include "PictureTexture.h"

#include "DdsHeader.h"

#include <QList>
#include <QtEndian>

#include <squish.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <vector>

// Static, so the command line's own copy of these readers never clashes.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_JPEG
#include <stb_image.h>
#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

namespace PictureTexture {

namespace {

// Beyond this a picture is no texture the game was ever given.
constexpr int LargestSide = 8192;

constexpr quint32 FlagCaps = 0x1, FlagHeight = 0x2, FlagWidth = 0x4, FlagPitch = 0x8,
                  FlagPixelFormat = 0x1000, FlagMipmapCount = 0x20000, FlagLinearSize = 0x80000;
using dds::PixelFourCC;
constexpr quint32 PixelAlpha = dds::PixelAlphaPixels;
constexpr quint32 CapsComplex = 0x8, CapsTexture = 0x1000, CapsMipmap = 0x400000;

struct Rgba
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels; // 4 bytes a pixel, rows top to bottom
};

// How the original stores its pixels.
struct TargetFormat
{
    int squishFlags = 0;       // a DXT kind, or 0 for plain RGB
    QByteArray fourCC;
    int bitCount = 0;
    quint32 masks[4] = {};     // red, green, blue, alpha
    quint32 pixelFlags = 0;
};

std::optional<TargetFormat> targetFormatOf(const QByteArray &format)
{
    TargetFormat target;
    const auto blocks = [&](int flags, const char *fourCC) {
        target.squishFlags = flags;
        target.fourCC = fourCC;
        target.pixelFlags = PixelFourCC;
        return target;
    };
    // DX10 headers name the same blocks by number (BC1..BC3, plain and sRGB).
    if (format == "DXT1" || format == "DX10:71" || format == "DX10:72")
        return blocks(squish::kDxt1, "DXT1");
    if (format == "DXT3" || format == "DX10:74" || format == "DX10:75")
        return blocks(squish::kDxt3, "DXT3");
    if (format == "DXT5" || format == "DX10:77" || format == "DX10:78")
        return blocks(squish::kDxt5, "DXT5");
    // "RGB<bits>:<red>:<green>:<blue>:<alpha>:<flags>", masks in hex.
    const QList<QByteArray> parts = format.split(':');
    if (parts.size() != 6 || !parts[0].startsWith("RGB"))
        return std::nullopt;
    target.bitCount = parts[0].mid(3).toInt();
    if (target.bitCount != 24 && target.bitCount != 32)
        return std::nullopt;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        target.masks[i] = parts[i + 1].toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        const quint32 mask = target.masks[i];
        // Whole bytes only: that is what 24- and 32-bit textures use.
        const bool wholeByte = mask == 0 || (std::popcount(mask) == 8 && std::countr_zero(mask) % 8 == 0
                                             && (mask >> std::countr_zero(mask)) == 0xff);
        if (!wholeByte || (i < 3 && mask == 0))
            return std::nullopt;
    }
    target.pixelFlags = parts[5].toUInt(nullptr, 16);
    return target;
}

Rgba halved(const Rgba &level)
{
    Rgba half;
    half.width = std::max(1, level.width / 2);
    half.height = std::max(1, level.height / 2);
    half.pixels.resize(size_t(half.width) * half.height * 4);
    for (int y = 0; y < half.height; ++y) {
        const int y0 = std::min(2 * y, level.height - 1), y1 = std::min(2 * y + 1, level.height - 1);
        for (int x = 0; x < half.width; ++x) {
            const int x0 = std::min(2 * x, level.width - 1), x1 = std::min(2 * x + 1, level.width - 1);
            for (int c = 0; c < 4; ++c) {
                const auto at = [&](int px, int py) { return int(level.pixels[(size_t(py) * level.width + px) * 4 + c]); };
                half.pixels[(size_t(y) * half.width + x) * 4 + c] =
                    static_cast<unsigned char>((at(x0, y0) + at(x1, y0) + at(x0, y1) + at(x1, y1) + 2) / 4);
            }
        }
    }
    return half;
}

void appendWord(QByteArray &bytes, quint32 value)
{
    const quint32 little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char *>(&little), 4);
}

QByteArray header(const TargetFormat &target, int width, int height, int levels, quint32 topLevelBytes)
{
    const bool compressed = target.squishFlags != 0;
    QByteArray bytes("DDS ");
    appendWord(bytes, 124);
    appendWord(bytes, FlagCaps | FlagHeight | FlagWidth | FlagPixelFormat | FlagMipmapCount
                          | (compressed ? FlagLinearSize : FlagPitch));
    appendWord(bytes, quint32(height));
    appendWord(bytes, quint32(width));
    appendWord(bytes, compressed ? topLevelBytes : quint32(width) * quint32(target.bitCount / 8));
    appendWord(bytes, 0); // depth
    appendWord(bytes, quint32(levels));
    for (int i = 0; i < 11; ++i)
        appendWord(bytes, 0);
    appendWord(bytes, 32);
    appendWord(bytes, target.pixelFlags);
    bytes.append(compressed ? target.fourCC : QByteArray(4, '\0'));
    appendWord(bytes, compressed ? 0 : quint32(target.bitCount));
    for (quint32 mask : target.masks)
        appendWord(bytes, compressed ? 0 : mask);
    appendWord(bytes, CapsTexture | (levels > 1 ? CapsComplex | CapsMipmap : 0));
    for (int i = 0; i < 4; ++i)
        appendWord(bytes, 0);
    return bytes;
}

QByteArray encodeLevel(const Rgba &level, const TargetFormat &target)
{
    if (target.squishFlags != 0) {
        const int flags = target.squishFlags | squish::kColourClusterFit;
        QByteArray blocks(squish::GetStorageRequirements(level.width, level.height, flags), '\0');
        squish::CompressImage(level.pixels.data(), level.width, level.height, blocks.data(), flags);
        return blocks;
    }
    const int pixelBytes = target.bitCount / 8;
    QByteArray bytes(qsizetype(level.width) * level.height * pixelBytes, '\0');
    char *out = bytes.data();
    for (size_t i = 0; i < size_t(level.width) * level.height; ++i) {
        quint32 value = 0;
        for (int c = 0; c < 4; ++c) {
            if (target.masks[c] != 0)
                value |= quint32(level.pixels[i * 4 + c]) << std::countr_zero(target.masks[c]);
        }
        for (int b = 0; b < pixelBytes; ++b)
            *out++ = char((value >> (8 * b)) & 0xff);
    }
    return bytes;
}

} // namespace

bool isPicture(const QString &fileName)
{
    const QString extension = fileName.section(u'.', -1).toLower();
    return fileName.contains(u'.')
           && (extension == u"png" || extension == u"bmp" || extension == u"tga" || extension == u"jpg"
               || extension == u"jpeg");
}

std::optional<PictureSize> sizeOf(QByteArrayView bytes)
{
    int width = 0, height = 0, channels = 0;
    if (bytes.size() > INT_MAX
        || !stbi_info_from_memory(reinterpret_cast<const stbi_uc *>(bytes.data()), int(bytes.size()), &width,
                                  &height, &channels)
        || width <= 0 || height <= 0)
        return std::nullopt;
    return PictureSize{width, height};
}

QString problemWithMaking(const PictureSize &picture, const TextureFile::DdsShape &original)
{
    if (!targetFormatOf(original.format))
        return QStringLiteral("the aircraft's main texture is %1, a format Corvane does not make; "
                              "save the picture as DDS in that format")
            .arg(QString::fromLatin1(original.format));
    if (original.width == 0 || original.height == 0 || original.width > LargestSide || original.height > LargestSide)
        return QStringLiteral("the aircraft's main texture has no size Corvane can make (%1)").arg(original.describe());
    if (picture.width > LargestSide || picture.height > LargestSide)
        return QStringLiteral("the picture is larger than %1 pixels on a side").arg(LargestSide);
    if (qint64(picture.width) * original.height != qint64(picture.height) * original.width)
        return QStringLiteral("the picture is %1 x %2 pixels, which is not the shape of the aircraft's %3 x %4 "
                              "texture; it would come out stretched")
            .arg(picture.width).arg(picture.height).arg(original.width).arg(original.height);
    return QString();
}

PaintResult makeDds(QByteArrayView picture, const TextureFile::DdsShape &original, QByteArray &dds)
{
    const auto fail = [](const QString &reason) { return PaintResult::failure(QString(), reason); };
    const std::optional<PictureSize> size = sizeOf(picture);
    if (!size)
        return fail(QStringLiteral("the picture cannot be read"));
    if (const QString problem = problemWithMaking(*size, original); !problem.isEmpty())
        return fail(problem);
    const TargetFormat target = *targetFormatOf(original.format);

    int width = 0, height = 0, channels = 0;
    stbi_uc *decoded = stbi_load_from_memory(reinterpret_cast<const stbi_uc *>(picture.data()), int(picture.size()),
                                             &width, &height, &channels, 4);
    if (!decoded)
        return fail(QStringLiteral("the picture cannot be read (%1)").arg(QString::fromLatin1(stbi_failure_reason())));
    Rgba level;
    level.width = int(original.width);
    level.height = int(original.height);
    level.pixels.resize(size_t(level.width) * level.height * 4);
    const bool resized = width == level.width && height == level.height
        ? (std::memcpy(level.pixels.data(), decoded, level.pixels.size()), true)
        : stbir_resize_uint8(decoded, width, height, 0, level.pixels.data(), level.width, level.height, 0, 4) != 0;
    stbi_image_free(decoded);
    if (!resized)
        return fail(QStringLiteral("the picture could not be brought to the texture's size"));

    QByteArray levels;
    int levelCount = 0;
    quint32 topLevelBytes = 0;
    for (;;) {
        const QByteArray encoded = encodeLevel(level, target);
        if (levelCount == 0)
            topLevelBytes = quint32(encoded.size());
        levels += encoded;
        ++levelCount;
        if (level.width == 1 && level.height == 1)
            break;
        level = halved(level);
    }
    dds = header(target, int(original.width), int(original.height), levelCount, topLevelBytes) + levels;
    return PaintResult::success();
}

} // namespace PictureTexture
