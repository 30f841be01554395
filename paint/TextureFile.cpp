#include "TextureFile.h"

#include <QFile>
#include <QtEndian>

namespace TextureFile {

namespace {

constexpr qsizetype LegacyHeaderBytes = 128;
constexpr qsizetype Dx10HeaderBytes = 148;
constexpr quint32 HeaderSize = 124;
constexpr quint32 PixelFourCC = 0x4;

quint32 word(QByteArrayView bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.data() + offset);
}

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
    if (bytes.size() < LegacyHeaderBytes || !bytes.startsWith("DDS ") || word(bytes, 4) != HeaderSize)
        return std::nullopt;
    DdsShape shape;
    shape.height = word(bytes, 12);
    shape.width = word(bytes, 16);
    const quint32 pixelFlags = word(bytes, 80);
    if (pixelFlags & PixelFourCC) {
        shape.format = bytes.sliced(84, 4).toByteArray();
        if (shape.format == "DX10") {
            if (bytes.size() < Dx10HeaderBytes)
                return std::nullopt;
            shape.format += ':' + QByteArray::number(word(bytes, 128));
        }
    } else {
        // Bit-mask formats are told apart by their kind, depth and masks.
        shape.format = "RGB" + QByteArray::number(word(bytes, 88));
        for (qsizetype offset : {92, 96, 100, 104})
            shape.format += ':' + QByteArray::number(word(bytes, offset), 16);
        shape.format += ':' + QByteArray::number(pixelFlags & ~PixelFourCC, 16);
    }
    return shape;
}

std::optional<DdsShape> readDdsShape(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ddsShape(file.read(Dx10HeaderBytes));
}

} // namespace TextureFile
