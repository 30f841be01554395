#include "ThumbnailPicture.h"

#include "ConversionLibrary.h"
#include "TemporaryBitmap.h"
#include "ThumbnailStore.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

namespace {
// The largest preview the library makes reads one mip level of at most 512
// pixels; smaller hints would read smaller levels, too small for 256.
constexpr int previewMode = 1;
constexpr int previewUpTo512 = 1;
// zlib's fastest level, as Qt's writer takes it: thumbnails are made in
// hundreds, and read back far more often than their size matters.
constexpr int fastestDeflateQuality = 89;
} // namespace

QImage thumbnailPicture(ConversionLibrary::ConvertProc convert, const QString &path, int side)
{
    if (!convert)
        return QImage();
    const QByteArray source = QFile::encodeName(path);
    TemporaryBitmap temporary(QFileInfo(path).completeBaseName());
    if (temporary.path().isEmpty())
        return QImage();
    const QByteArray target = QFile::encodeName(temporary.path());
    QByteArray workArea(1024, '\0');
    if (!convert(source.constData(), target.constData(), workArea.data(), previewMode, previewUpTo512))
        return QImage();
    QImage picture(temporary.path(), "BMP");
    temporary.remove();
    if (picture.isNull())
        return picture;
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
