// Reading BMP files back: the library's own 24-bit files take a short road,
// and whatever road a file takes, the picture is the one Qt's reader sees.

#include "BitmapFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

namespace {

void put(QByteArray &bytes, int at, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = char(value >> (8 * i));
}

QByteArray plainBmp(int width, int height, bool topDown, int gap = 0)
{
    const int stride = (width * 3 + 3) & ~3;
    QByteArray bytes(54 + gap + stride * height, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 2, std::uint32_t(bytes.size()), 4);
    put(bytes, 10, std::uint32_t(54 + gap), 4);
    put(bytes, 14, 40, 4);
    put(bytes, 18, std::uint32_t(width), 4);
    put(bytes, 22, std::uint32_t(topDown ? -height : height), 4);
    put(bytes, 26, 1, 2);
    put(bytes, 28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char *p = bytes.data() + 54 + gap + y * stride + x * 3;
            p[0] = char(x * 40 + y);
            p[1] = char(y * 30 + 7);
            p[2] = char(x * y + 90);
        }
    return bytes;
}

QByteArray indexedBmp()
{
    QImage image(5, 3, QImage::Format_Indexed8);
    image.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, (x + y) % 2);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QImage readByQt(const QByteArray &bytes)
{
    QImage image;
    if (!image.loadFromData(bytes, "BMP"))
        return QImage();
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class BitmapFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatQtReads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::newRow("bottom-up, rows padded") << plainBmp(5, 3, false) << true;
        QTest::newRow("top-down") << plainBmp(3, 4, true) << true;
        QTest::newRow("one pixel") << plainBmp(1, 1, false) << true;
        QTest::newRow("pixels after a gap") << plainBmp(4, 2, false, 10) << true;
        QTest::newRow("8-bit palette") << indexedBmp() << true;
        QTest::newRow("last row missing") << plainBmp(5, 3, false).chopped(16) << false;
        QTest::newRow("header only") << plainBmp(5, 3, false).left(54) << false;
        QTest::newRow("not a bitmap") << QByteArray("BM not really") << false;
    }

    void readsWhatQtReads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QTemporaryDir folder;
        const QString path = folder.filePath("picture.bmp");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        const QImage image = BitmapFile::read(path);
        if (readable) {
            QVERIFY(!image.isNull());
            QCOMPARE(image, readByQt(bytes));
        } else {
            // No more than Qt's own reader makes of it (which may leave
            // missing rows as they were in memory, so only the size counts).
            QCOMPARE(image.size(), readByQt(bytes).size());
        }
    }

    void missingFileIsNull()
    {
        QTemporaryDir folder;
        QVERIFY(BitmapFile::read(folder.filePath("none.bmp")).isNull());
    }
};

int runBitmapFileTests(int argc, char **argv)
{
    BitmapFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_BitmapFile.moc"
