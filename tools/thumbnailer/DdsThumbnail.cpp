#include "DdsThumbnail.h"

#include "ByteSink.h"
#include "ByteSource.h"
#include "DdsConversion.h"
#include "DdsLayout.h"

#include <QFile>
#include <QImageWriter>

#include <algorithm>

namespace {

// The largest preview the library makes: file managers ask for 1024 pixels
// at most, and a larger thumbnail would decode far more than it shows.
constexpr int LargestSide = 512;

// Qt's PNG writer takes zlib's level as a quality, level = (100 - quality) * 9 / 91:
// 89 is level 1, the fastest that compresses at all.
constexpr int FastestDeflateQuality = 89;

} // namespace

QImage ddsThumbnail(const QString &path, int size)
{
    const QByteArray nativePath = QFile::encodeName(path);
    korrad::FileByteSource source(nativePath.constData());
    if (!source.isOpen() || !korrad::hasDdsMagic(source))
        return QImage();

    // The exact side, so the library reduces straight to it from a level at
    // least twice as large, and nothing is scaled again here.
    korrad::ConversionRequest request{int(korrad::ConversionMode::Preview), 1, false};
    request.side = std::uint32_t(std::clamp(size, 1, LargestSide));
    korrad::MemoryByteSink bitmap;
    if (!korrad::convertDds(source, request, bitmap))
        return QImage();
    QImage picture;
    const auto &bytes = bitmap.bytes();
    if (!picture.loadFromData(bytes.data(), int(bytes.size()), "BMP"))
        return QImage();

    if (picture.width() > size || picture.height() > size)
        picture = picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

bool writeThumbnailPng(const QImage &thumbnail, QIODevice *device, QString *error)
{
    QImageWriter writer(device, "png");
    writer.setQuality(FastestDeflateQuality);
    if (writer.write(thumbnail.convertToFormat(QImage::Format_RGB888)))
        return true;
    if (error)
        *error = writer.errorString();
    return false;
}
