#include "BitmapFile.h"

#include "SafeSave.h"

#include <QFile>
#include <QImageReader>

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

namespace BitmapFile {
namespace {

constexpr qint64 HeaderSize = 54; // file header and the 40-byte info header
constexpr std::int64_t LargestPlainSide = 32768;

std::uint32_t le16(const uchar *at) { return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8; }
std::uint32_t le32(const uchar *at) { return le16(at) | le16(at + 2) << 16; }

// Where the pixels of an uncompressed 24-bit BMP lie, when the file is one.
struct PlainLayout
{
    qint64 pixelOffset = 0;
    int width = 0;
    int height = 0;
    bool bottomUp = true;
    qint64 stride = 0;
};

std::optional<PlainLayout> plainLayout(const uchar *header, qint64 fileSize)
{
    if (header[0] != 'B' || header[1] != 'M' || le32(header + 14) != 40 || le16(header + 26) != 1
        || le16(header + 28) != 24 || le32(header + 30) != 0)
        return std::nullopt;
    const std::int64_t width = std::int32_t(le32(header + 18));
    const std::int64_t height = std::int32_t(le32(header + 22));
    const std::int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || width > LargestPlainSide || rows == 0 || rows > LargestPlainSide)
        return std::nullopt;
    PlainLayout layout;
    layout.pixelOffset = le32(header + 10);
    layout.width = int(width);
    layout.height = int(rows);
    layout.bottomUp = height > 0;
    layout.stride = (width * 3 + 3) & ~std::int64_t(3);
    if (layout.pixelOffset < HeaderSize || layout.pixelOffset + layout.stride * rows > fileSize)
        return std::nullopt;
    return layout;
}

// The picture the conversion library writes is read straight into the
// image: Qt's general reader takes several times as long for it.
std::optional<QImage> readPlain(QFile &file)
{
    uchar header[HeaderSize];
    if (file.read(reinterpret_cast<char *>(header), HeaderSize) != HeaderSize)
        return std::nullopt;
    const auto layout = plainLayout(header, file.size());
    if (!layout || !file.seek(layout->pixelOffset))
        return std::nullopt;
    const QByteArray pixels = file.read(layout->stride * layout->height);
    if (pixels.size() != layout->stride * layout->height)
        return std::nullopt;
    QImage image(layout->width, layout->height, QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    const auto *data = reinterpret_cast<const uchar *>(pixels.constData());
    for (int y = 0; y < layout->height; ++y) {
        const int stored = layout->bottomUp ? layout->height - 1 - y : y;
        const uchar *in = data + layout->stride * stored;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        int x = 0;
        if constexpr (std::endian::native == std::endian::little) {
            // Blue, green and red read as one word are the pixel's value;
            // the last pixel of the file has no fourth byte to read.
            for (; x + 1 < layout->width; ++x, in += 3) {
                std::uint32_t pixel;
                std::memcpy(&pixel, in, 4);
                out[x] = 0xff000000u | (pixel & 0xffffffu);
            }
        }
        for (; x < layout->width; ++x, in += 3)
            out[x] = qRgb(in[2], in[1], in[0]);
    }
    return image;
}

} // namespace

QImage read(const QString &path)
{
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QImage();
        if (std::optional<QImage> plain = readPlain(file))
            return *plain;
    }
    QImageReader reader(path, "bmp");
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return QImage();
    return image.convertToFormat(QImage::Format_RGB32);
}

bool write(const QImage &image, const QString &path)
{
    if (image.isNull() || path.isEmpty())
        return false;
    SafeSave file(path);
    if (!file.open() || !image.save(file.device(), "BMP"))
        return false;
    return file.commit().ok;
}

} // namespace BitmapFile
