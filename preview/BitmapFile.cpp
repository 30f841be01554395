#include "BitmapFile.h"

#include <QImageReader>
#include <QSaveFile>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!image.save(&file, "BMP")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace BitmapFile
