#include "BitmapFile.h"

#include "SafeSave.h"

#include <QImageReader>

namespace BitmapFile {

QImage read(const QString &path)
{
    QImageReader reader(path, "bmp");
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return QImage();
    return image.convertToFormat(QImage::Format_RGB32);
}

bool write(const QImage &image, const QString &path)
{
    if (image.isNull() || path.isEmpty())
        return false;
    SafeSave file(path);
    if (!file.open() || !image.save(file.device(), "BMP"))
        return false;
    return file.commit();
}

} // namespace BitmapFile
