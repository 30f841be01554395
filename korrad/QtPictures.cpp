#include "QtPictures.h"

#include "AreaReducer.h"
#include "BmpWriter.h"
#include "DdsLayout.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

namespace korrad {
namespace {

bool isAcceptedFormat(const QByteArray &format)
{
    const QByteArray lower = format.toLower();
    return lower == "bmp" || lower == "png" || lower == "jpeg" || lower == "jpg" || lower == "tga";
}

bool prepare(QImageReader &reader, const char *path)
{
    if (!path || !*path)
        return false;
    reader.setFileName(QFile::decodeName(path));
    if (!reader.canRead() || !isAcceptedFormat(reader.format()))
        return false;
    const QSize size = reader.size();
    return size.width() > 0 && size.height() > 0 && quint32(size.width()) <= MaxTextureSide
           && quint32(size.height()) <= MaxTextureSide;
}

} // namespace

bool canReadQtPicture(const char *path)
{
    QImageReader reader;
    return prepare(reader, path);
}

bool convertQtPicture(const char *path, const ConversionRequest &request, ByteSink &sink)
{
    QImageReader reader;
    if (!prepare(reader, path))
        return false;
    const auto plan = planOutput(std::uint32_t(reader.size().width()), std::uint32_t(reader.size().height()), 1,
                                 request);
    if (!plan)
        return false;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return false;
    // Straight (not premultiplied) colours: alpha is dropped, not blended.
    image.convertTo(QImage::Format_RGBA8888);
    if (image.isNull() || std::uint32_t(image.width()) < plan->width || std::uint32_t(image.height()) < plan->height)
        return false;

    BmpWriter writer(sink, request.grey);
    AreaReducer reducer(plan->width, plan->height, writer);
    if (!reducer.begin(std::uint32_t(image.width()), std::uint32_t(image.height())))
        return false;
    for (int y = image.height() - 1; y >= 0; --y)
        if (!reducer.row(std::uint32_t(y), image.constScanLine(y)))
            return false;
    return reducer.finish();
}

} // namespace korrad
