#include "ThumbnailPicture.h"

#include "PictureConversion.h"
#include "PictureRequest.h"
#include "ThumbnailStore.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

namespace {
// zlib's fastest level, as Qt's writer takes it: thumbnails are made in
// hundreds, and read back far more often than their size matters.
constexpr int fastestDeflateQuality = 89;
} // namespace

QImage thumbnailPicture(const QString &path, int side)
{
    const ConvertedPicture converted = convertPicture(path, PictureRequest::forSide(side));
    if (!converted.result)
        return QImage();
    QImage picture(converted.bitmapPath(), "BMP");
    if (picture.width() > side || picture.height() > side)
        picture = picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

QByteArray thumbnailPng(const QImage &picture, const ThumbnailIdentity &identity)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(fastestDeflateQuality);
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB888)))
        return QByteArray();
    // Qt would compress the longer texts; the standard's readers expect them plain.
    QList<QPair<QByteArray, QByteArray>> text = ThumbnailText::of(identity);
    text.append(qMakePair(QByteArray("Software"), QByteArray("Corvane")));
    return ThumbnailText::withText(png, text);
}
