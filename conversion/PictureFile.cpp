#include "PictureFile.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// PNG files are deflated by zlib at its fastest level (through Qt Core, which
// carries zlib anyway): file managers keep every thumbnail as it is written,
// and stb's own deflate is both slower and larger.
unsigned char *deflateFastest(unsigned char *data, int length, int *outLength, int)
{
    const QByteArray packed = qCompress(data, length, 1);
    // qCompress puts the unpacked length in front of zlib's stream.
    constexpr int LengthPrefix = 4;
    if (packed.size() <= LengthPrefix)
        return nullptr;
    const int size = int(packed.size()) - LengthPrefix;
    auto *stream = static_cast<unsigned char *>(std::malloc(size_t(size)));
    if (!stream)
        return nullptr;
    std::memcpy(stream, packed.constData() + LengthPrefix, size_t(size));
    *outLength = size;
    return stream;
}

} // namespace

// Static, so no other copy of these in the same program clashes.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb_image.h>
#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#define STBIW_ZLIB_COMPRESS deflateFastest
#include <stb_image_write.h>

namespace PictureFile {

namespace {

constexpr int Channels = 3;

void appendBytes(void *context, void *data, int size)
{
    static_cast<QByteArray *>(context)->append(static_cast<const char *>(data), size);
}

} // namespace

Picture readBmp(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    int width = 0, height = 0, channels = 0;
    unsigned char *pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc *>(bytes.constData()),
                                                  int(bytes.size()), &width, &height, &channels, Channels);
    if (!pixels)
        return {};
    Picture picture{width, height, std::vector<unsigned char>(pixels, pixels + size_t(width) * height * Channels)};
    stbi_image_free(pixels);
    return picture;
}

Picture fitted(const Picture &picture, int side)
{
    if (picture.isNull() || side <= 0)
        return {};
    const int longer = std::max(picture.width, picture.height);
    Picture out;
    out.width = std::max(1, int(qint64(side) * picture.width / longer));
    out.height = std::max(1, int(qint64(side) * picture.height / longer));
    out.rgb.resize(size_t(out.width) * out.height * Channels);
    if (!stbir_resize_uint8(picture.rgb.data(), picture.width, picture.height, 0, out.rgb.data(), out.width,
                            out.height, 0, Channels))
        return {};
    return out;
}

QByteArray encode(const Picture &picture, Format format)
{
    QByteArray bytes;
    if (picture.isNull())
        return bytes;
    const int written = format == Png ? stbi_write_png_to_func(appendBytes, &bytes, picture.width, picture.height, Channels,
                                                     picture.rgb.data(), picture.width * Channels)
                            : stbi_write_bmp_to_func(appendBytes, &bytes, picture.width, picture.height, Channels,
                                                     picture.rgb.data());
    return written ? bytes : QByteArray();
}

} // namespace PictureFile
