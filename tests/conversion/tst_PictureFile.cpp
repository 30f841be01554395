// Pictures outside the window: the BMP read back, fitted and written again
// as BMP or PNG without Qt Gui, checked here against Qt's own readers.

#include "PictureFile.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

Picture gradient(int width, int height)
{
    Picture picture{width, height, std::vector<unsigned char>(size_t(width) * height * 3)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char *p = picture.rgb.data() + (size_t(y) * width + x) * 3;
            p[0] = (unsigned char)(x * 255 / std::max(1, width - 1));
            p[1] = (unsigned char)(y * 255 / std::max(1, height - 1));
            p[2] = 77;
        }
    return picture;
}

} // namespace

class PictureFileTest : public QObject
{
    Q_OBJECT

private slots:
    void bothFormatsKeepEveryPixel_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("qtFormat");
        QTest::newRow("BMP") << int(PictureFile::Bmp) << QByteArray("BMP");
        QTest::newRow("PNG") << int(PictureFile::Png) << QByteArray("PNG");
    }
    void bothFormatsKeepEveryPixel()
    {
        QFETCH(int, format);
        QFETCH(QByteArray, qtFormat);
        const Picture picture = gradient(37, 19); // odd widths pad BMP rows
        const QByteArray bytes = PictureFile::encode(picture, PictureFile::Format(format));
        const QImage read = QImage::fromData(bytes, qtFormat.constData()).convertToFormat(QImage::Format_RGB888);
        QCOMPARE(read.size(), QSize(37, 19));
        for (int y = 0; y < 19; ++y)
            QVERIFY(std::memcmp(read.constScanLine(y), picture.rgb.data() + size_t(y) * 37 * 3, 37 * 3) == 0);

        if (format == PictureFile::Bmp) {
            QTemporaryDir dir;
            QFile file(dir.filePath("back.bmp"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            file.close();
            const Picture back = PictureFile::readBmp(file.fileName());
            QCOMPARE(back.rgb, picture.rgb);
        }
    }

    // File managers keep every thumbnail as it is written.
    void pngsAreDeflated()
    {
        const QByteArray png = PictureFile::encode(gradient(256, 256), PictureFile::Png);
        QVERIFY2(png.size() < 256 * 256 * 3 / 8, qPrintable(QString::number(png.size())));
    }

    void nothingIsMadeOfNothing()
    {
        QVERIFY(PictureFile::encode(Picture{}, PictureFile::Png).isEmpty());
        QVERIFY(PictureFile::readBmp(QStringLiteral("/nonexistent/none.bmp")).isNull());
        QVERIFY(PictureFile::fitted(gradient(4, 4), 0).isNull());
    }

    void fittingKeepsProportions_data()
    {
        QTest::addColumn<QSize>("from");
        QTest::addColumn<int>("side");
        QTest::addColumn<QSize>("to");
        QTest::newRow("wide") << QSize(512, 256) << 128 << QSize(128, 64);
        QTest::newRow("tall, truncated") << QSize(256, 1024) << 100 << QSize(25, 100);
        QTest::newRow("a line keeps a pixel") << QSize(1000, 1) << 10 << QSize(10, 1);
        QTest::newRow("enlarged") << QSize(16, 8) << 64 << QSize(64, 32);
    }
    void fittingKeepsProportions()
    {
        QFETCH(QSize, from);
        QFETCH(int, side);
        QFETCH(QSize, to);
        const Picture fitted = PictureFile::fitted(gradient(from.width(), from.height()), side);
        QCOMPARE(QSize(fitted.width, fitted.height), to);
        QCOMPARE(fitted.rgb.size(), size_t(to.width() * to.height() * 3));
    }
};

int runPictureFileTests(int argc, char **argv)
{
    PictureFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PictureFile.moc"
