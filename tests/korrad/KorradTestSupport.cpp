#include "KorradTestSupport.h"

#include "korrad.h"

#include <QDir>
#include <QTest>

#include <cstdlib>

namespace korradtest {

QString referenceFolder()
{
    return QStringLiteral(CORVANE_TESTDATA_DIR "/dds");
}

bool isValid(const QString &source)
{
    return _Pic_Valid(QFile::encodeName(source).constData()) != 0;
}

std::optional<QImage> convert(const QString &source, const QTemporaryDir &folder, int mode, int hint, bool grey)
{
    const QString target = folder.filePath(QStringLiteral("converted.bmp"));
    QFile::remove(target);
    unsigned char work[1024] = {};
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    const unsigned char ok = grey ? _anytogrey(from.constData(), to.constData(), work, mode, hint)
                                  : _anytobmps(from.constData(), to.constData(), work, mode, hint);
    if (!ok) {
        if (QFile::exists(target))
            QTest::qFail("a refused conversion left its target behind", __FILE__, __LINE__);
        return std::nullopt;
    }
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 54 || bytes.left(2) != "BM" || quint8(bytes[28]) != 24 || quint8(bytes[29]) != 0) {
        QTest::qFail("the library wrote something other than a 24-bit BMP", __FILE__, __LINE__);
        return std::nullopt;
    }
    QImage image;
    if (!image.loadFromData(bytes, "BMP"))
        return std::nullopt;
    return image.convertToFormat(QImage::Format_RGB32);
}

QString save(const QTemporaryDir &folder, const QString &name, const std::vector<std::uint8_t> &bytes)
{
    const QString path = folder.filePath(name);
    if (!ddstest::writeFile(QFile::encodeName(path).toStdString(), bytes))
        return QString();
    return path;
}

QString save(const QTemporaryDir &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}

int largestDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

QImage toQImage(const ddstest::RgbaImage &image)
{
    QImage result(int(image.width), int(image.height), QImage::Format_RGB32);
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const std::uint8_t *p = image.at(x, y);
            result.setPixel(int(x), int(y), qRgb(p[0], p[1], p[2]));
        }
    return result;
}

} // namespace korradtest
