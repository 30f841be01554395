#include "DdsThumbnail.h"

#include "ByteSink.h"
#include "ByteSource.h"
#include "DdsConversion.h"
#include "DdsLayout.h"

#include <QFile>
#include <QImageWriter>

namespace {

// The smallest preview the library offers that still covers the size; the
// full-size hint is never used, it would decode a 16384-pixel texture whole.
std::int32_t sizeHintFor(int size)
{
    if (size <= 64)
        return 3;
    if (size <= 128)
        return 2;
    return 1;
}

} // namespace

QImage ddsThumbnail(const QString &path, int size)
{
    const QByteArray nativePath = QFile::encodeName(path);
    korrad::FileByteSource source(nativePath.constData());
    if (!source.isOpen() || !korrad::hasDdsMagic(source))
        return QImage();

    const korrad::ConversionRequest request{int(korrad::ConversionMode::Preview), sizeHintFor(size), false};
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
    writer.setQuality(100); // stored, no deflate
    if (writer.write(thumbnail.convertToFormat(QImage::Format_RGB888)))
        return true;
    if (error)
        *error = writer.errorString();
    return false;
}
