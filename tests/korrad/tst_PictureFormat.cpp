// Pictures other than textures: BMP, PNG, JPEG and TGA.

#include "KorradTestSupport.h"

#include <QTest>

using namespace korradtest;

namespace {

QImage sample(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) * 255 / (width + height)));
    return image;
}

// An uncompressed 24-bit TGA, bottom row first as the format's default, with
// or without the version 2 footer (older tools write none).
QByteArray tga(const QImage &image, bool footer = true)
{
    QByteArray bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = char(image.width() & 0xff);
    bytes[13] = char(image.width() >> 8);
    bytes[14] = char(image.height() & 0xff);
    bytes[15] = char(image.height() >> 8);
    bytes[16] = 24;
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            bytes.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p)));
        }
    if (footer)
        bytes.append(QByteArray(8, '\0')).append("TRUEVISION-XFILE.").append('\0');
    return bytes;
}

} // namespace

class PictureFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void readsCommonPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("BMP") << "paint.bmp" << QByteArray("BMP") << 0;
        QTest::newRow("PNG") << "paint.png" << QByteArray("PNG") << 0;
        QTest::newRow("JPEG") << "paint.jpg" << QByteArray("JPEG") << 12;
        QTest::newRow("TGA") << "paint.tga" << QByteArray("TGA") << 0;
        QTest::newRow("TGA without footer") << "old.tga" << QByteArray("TGA, no footer") << 0;
        QTest::newRow("PNG named .dds") << "paint_t.dds" << QByteArray("PNG") << 0;
    }

    void readsCommonPictures()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(int, tolerance);
        const QImage picture = sample(50, 30);
        QTemporaryDir folder;
        QString path;
        if (format.startsWith("TGA")) {
            path = save(folder, name, tga(picture, !format.contains("no footer")));
        } else {
            path = folder.filePath(name);
            QVERIFY(picture.save(path, format.constData(), 100));
        }
        QVERIFY(isValid(path));
        const auto converted = convert(path, folder, 2, 0);
        QVERIFY(converted.has_value());
        const int difference = largestDifference(*converted, picture);
        QVERIFY2(difference >= 0 && difference <= tolerance, qPrintable(QString("off by %1").arg(difference)));
    }

    void alphaIsDroppedNotBlended()
    {
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(qRgba(200, 100, 50, 0));
        picture.setPixel(1, 1, qRgba(10, 20, 30, 128));
        QTemporaryDir folder;
        const QString path = folder.filePath("see-through.png");
        QVERIFY(picture.save(path, "PNG"));
        const auto converted = convert(path, folder, 2, 0);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->pixel(0, 0), qRgb(200, 100, 50));
        QCOMPARE(converted->pixel(1, 1), qRgb(10, 20, 30));
    }

    void previewShrinksLargePictures()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("wide.png");
        QVERIFY(sample(1000, 500).save(path, "PNG"));
        const auto converted = convert(path, folder, 1, 1);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->size(), QSize(512, 256));
        const auto grey = convert(path, folder, 1, 3, true);
        QVERIFY(grey.has_value());
        QCOMPARE(grey->size(), QSize(64, 32));
        const QRgb p = grey->pixel(40, 20);
        QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
    }

    void otherPictureFormatsAreRefused()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("paint.ppm");
        QVERIFY(sample(8, 8).save(path, "PPM"));
        QVERIFY(!isValid(path));
        QVERIFY(!convert(path, folder, 2, 0).has_value());
    }
};

int runPictureFormatTests(int argc, char **argv)
{
    PictureFormatTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PictureFormat.moc"
