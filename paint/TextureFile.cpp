#include "TextureFile.h"

#include "DdsHeader.h"

#include <QFile>

namespace TextureFile {

namespace {

QString extensionOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.mid(dot + 1).toLower();
}

} // namespace

bool hasTextureExtension(const QString &fileName)
{
    static const QStringList extensions = {"dds", "bmp", "png", "tga", "jpg", "jpeg"};
    return extensions.contains(extensionOf(fileName));
}

bool contentFitsExtension(const QString &fileName, QByteArrayView head)
{
    const QString extension = extensionOf(fileName);
    if (extension == u"dds")
        return head.startsWith("DDS ");
    if (extension == u"bmp")
        return head.startsWith("BM");
    if (extension == u"png")
        return head.startsWith("\x89PNG\r\n\x1a\n");
    if (extension == u"jpg" || extension == u"jpeg")
        return head.startsWith("\xff\xd8\xff");
    return extension == u"tga";
}

QString DdsShape::describe() const
{
    return QStringLiteral("%1 x %2 %3").arg(width).arg(height).arg(QString::fromLatin1(format));
}

std::optional<DdsShape> ddsShape(QByteArrayView bytes)
{
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.data());
    const auto header = dds::readHeader(data, size_t(bytes.size()));
    if (!header)
        return std::nullopt;
    DdsShape shape;
    shape.height = header->height;
    shape.width = header->width;
    const dds::PixelFormat &format = header->pixelFormat;
    if (format.flags & dds::PixelFourCC) {
        shape.format = bytes.sliced(84, 4).toByteArray();
        if (header->hasDx10Extension()) {
            if (size_t(bytes.size()) < dds::Dx10HeaderBytes)
                return std::nullopt;
            shape.format += ':' + QByteArray::number(dds::readDx10Extension(data + dds::LegacyHeaderBytes).dxgiFormat);
        }
    } else {
        // Bit-mask formats are told apart by their kind, depth and masks.
        shape.format = "RGB" + QByteArray::number(format.bitCount);
        for (const quint32 mask : {format.redMask, format.greenMask, format.blueMask, format.alphaMask})
            shape.format += ':' + QByteArray::number(mask, 16);
        shape.format += ':' + QByteArray::number(format.flags & ~dds::PixelFourCC, 16);
    }
    return shape;
}

std::optional<DdsShape> readDdsShape(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ddsShape(file.read(dds::Dx10HeaderBytes));
}

} // namespace TextureFile
