#include "DdsThumbnail.h"

#include "PictureConversion.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Only DDS textures: the library reads other pictures too, but a file named
// .dds that is something else is not what the file manager asked about.
bool startsLikeDds(const QString &path, PaintResult *result)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *result = PaintResult::failure(path, QStringLiteral("This file cannot be opened: %1.").arg(file.errorString()));
        return false;
    }
    if (file.read(4) != QByteArrayLiteral("DDS ")) {
        *result = PaintResult::failure(path, QStringLiteral("This file is not a DDS texture."));
        return false;
    }
    return true;
}

} // namespace

Picture ddsThumbnail(const QString &path, int size, PaintResult *result)
{
    PaintResult ignored;
    result = result ? result : &ignored;
    const int side = std::clamp(size, 1, LargestThumbnailSide);
    const QFileInfo info(path);
    if (!info.isFile()) {
        *result = PaintResult::failure(path, info.exists() ? QStringLiteral("This is not a regular file.")
                                                           : QStringLiteral("This file does not exist."));
        return {};
    }
    if (!startsLikeDds(path, result))
        return {};
    const ConvertedPicture converted = convertPicture(path, PictureRequest::forSide(side));
    *result = converted.result;
    if (!converted.result)
        return {};
    Picture picture = PictureFile::readBmp(converted.bitmapPath());
    if (picture.isNull()) {
        *result = PaintResult::failure(path, QStringLiteral("The converted picture could not be read back."));
        return {};
    }
    if (picture.width > side || picture.height > side)
        picture = PictureFile::fitted(picture, side);
    return picture;
}

QByteArray thumbnailPng(const Picture &thumbnail)
{
    return PictureFile::encode(thumbnail, PictureFile::Png);
}
