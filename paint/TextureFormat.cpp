#include "TextureFormat.h"

#include <QFile>
#include <QtEndian>

namespace TextureFormat {

namespace {

constexpr int HeaderSize = 128; // magic and the 124-byte header
constexpr quint32 PixelFormatFourCC = 0x4;
constexpr quint32 PixelFormatRgb = 0x40;

quint32 wordAt(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

bool isPowerOfTwo(quint32 value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

} // namespace

QString problemWithHeader(const QByteArray &header)
{
    if (header.size() < HeaderSize || !header.startsWith("DDS ") || wordAt(header, 4) != 124)
        return QStringLiteral("This is not a DDS texture.");
    const quint32 height = wordAt(header, 12);
    const quint32 width = wordAt(header, 16);
    const quint32 flags = wordAt(header, 80);
    if (flags & PixelFormatFourCC) {
        const QByteArray fourCC = header.mid(84, 4);
        if (fourCC != "DXT1" && fourCC != "DXT3" && fourCC != "DXT5") {
            QByteArray shown = fourCC;
            shown.replace('\0', ' ');
            return QStringLiteral("The texture is compressed as \"%1\"; the game loads DXT1, DXT3 and DXT5 only.")
                .arg(QString::fromLatin1(shown.trimmed()));
        }
    } else if (flags & PixelFormatRgb) {
        const quint32 bits = wordAt(header, 88);
        if (bits != 24 && bits != 32)
            return QStringLiteral("The texture has %1 bits a pixel; the game loads 24- and 32-bit RGB only.").arg(bits);
    } else {
        return QStringLiteral("The texture is neither DXT-compressed nor RGB, so the game cannot load it.");
    }
    if (!isPowerOfTwo(width) || !isPowerOfTwo(height))
        return QStringLiteral("The texture is %1 x %2 pixels; the game needs sides that are powers of two.").arg(width).arg(height);
    return QString();
}

QString problemWithFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("The texture cannot be read: %1").arg(file.errorString());
    return problemWithHeader(file.read(HeaderSize));
}

} // namespace TextureFormat
