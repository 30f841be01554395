#include "TextureFormat.h"

#include "DdsHeader.h"
#include "RegularFileOpen.h"

#include <QFile>

#include <algorithm>

namespace TextureFormat {

namespace {

bool isPowerOfTwo(quint32 value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

} // namespace

QString problemWithHeader(const QByteArray &header)
{
    const auto read = dds::readHeader(reinterpret_cast<const std::uint8_t *>(header.constData()), size_t(header.size()));
    if (!read)
        return QStringLiteral("This is not a DDS texture.");
    const quint32 height = read->height;
    const quint32 width = read->width;
    const dds::PixelFormat &format = read->pixelFormat;
    if (format.flags & dds::PixelFourCC) {
        if (format.fourCC != dds::fourCC("DXT1") && format.fourCC != dds::fourCC("DXT3")
            && format.fourCC != dds::fourCC("DXT5")) {
            QByteArray shown = header.mid(84, 4);
            shown.replace('\0', ' ');
            return QStringLiteral("The texture is compressed as \"%1\"; the game loads DXT1, DXT3 and DXT5 only.")
                .arg(QString::fromLatin1(shown.trimmed()));
        }
    } else if (format.flags & dds::PixelRgb) {
        const quint32 bits = format.bitCount;
        if (bits != 24 && bits != 32)
            return QStringLiteral("The texture has %1 bits a pixel; the game loads 24- and 32-bit RGB only.").arg(bits);
    } else {
        return QStringLiteral("The texture is neither DXT-compressed nor RGB, so the game cannot load it.");
    }
    if (!isPowerOfTwo(width) || !isPowerOfTwo(height))
        return QStringLiteral("The texture is %1 x %2 pixels; the game needs sides that are powers of two.").arg(width).arg(height);
    return QString();
}

PaintResult checkFile(const QString &path)
{
    QFile file(path);
    // Never waits on a pipe put where the texture was.
    if (const PaintResult opened = RegularFileOpen::openForReading(file); !opened)
        return PaintResult::failure(path, QStringLiteral("The texture cannot be read: %1").arg(opened.reason));
    const QString problem = problemWithHeader(file.read(dds::LegacyHeaderBytes));
    return problem.isEmpty() ? PaintResult::success(path) : PaintResult::failure(path, problem);
}

QString kindOfContent(const QByteArray &head)
{
    struct Signature
    {
        const char *magic;
        int size;
        const char *kind;
    };
    static const Signature signatures[] = {
        {"DDS ", 4, "a DDS texture"},
        {"\x89PNG\r\n\x1a\n", 8, "a PNG picture"},
        {"\xff\xd8\xff", 3, "a JPEG picture"},
        {"GIF8", 4, "a GIF picture"},
        {"BM", 2, "a BMP picture"},
        {"RIFF", 4, "a RIFF file (a WebP picture or a sound)"},
        {"II*\0", 4, "a TIFF picture"},
        {"MM\0*", 4, "a TIFF picture"},
        {"8BPS", 4, "a Photoshop picture"},
        {"PK\x03\x04", 4, "a ZIP archive"},
        {"7z\xbc\xaf\x27\x1c", 6, "a 7z archive"},
        {"Rar!", 4, "a RAR archive"},
        {"%PDF", 4, "a PDF document"},
        {"MZ", 2, "a Windows program"},
        {"\x7f" "ELF", 4, "a program"},
    };
    if (head.isEmpty())
        return QStringLiteral("an empty file");
    for (const Signature &signature : signatures) {
        if (head.startsWith(QByteArray(signature.magic, signature.size)))
            return QString::fromLatin1(signature.kind);
    }
    const bool printable = std::all_of(head.begin(), head.end(), [](char c) {
        return uchar(c) >= 0x20 || c == '\t' || c == '\r' || c == '\n';
    });
    return printable ? QStringLiteral("text") : QStringLiteral("of a kind Corvane does not know");
}

} // namespace TextureFormat
