// What the library says when it refuses a file, and that it forgets it again.

#include "KorradTestSupport.h"

#include "korrad.h"

#include <QBuffer>
#include <QDir>
#include <QTest>
#include <QtEndian>

#include <barrier>
#include <thread>

using namespace korradtest;

namespace {

// The signature and header chunk of a PNG: enough for its size to be read,
// never enough to decode it.
QByteArray pngHeader(quint32 width, quint32 height)
{
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    bytes.append(QByteArray("\0\0\0\x0dIHDR", 8));
    char size[8];
    qToBigEndian(width, size);
    qToBigEndian(height, size + 4);
    bytes.append(size, 8);
    bytes.append(QByteArray("\x08\x06\0\0\0", 5)); // 8-bit RGBA
    bytes.append(QByteArray(4, '\0'));            // checksum, which no reader here checks
    return bytes;
}

QString reason()
{
    return QString::fromLocal8Bit(_Pic_FailureReason());
}

QByteArray samplePng()
{
    QImage picture(16, 8, QImage::Format_RGB32);
    picture.fill(qRgb(90, 120, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class RefusalReasonTest : public QObject
{
    Q_OBJECT

private slots:
    void pictureSizeIsJudgedFromTheHeader_data()
    {
        QTest::addColumn<quint32>("width");
        QTest::addColumn<quint32>("height");
        QTest::addColumn<QString>("expected"); // empty: accepted
        QTest::newRow("largest side") << 16384u << 2048u << QString();
        QTest::newRow("one pixel too wide") << 16385u << 16u << "is 16385 x 16 pixels, larger than 16384 a side";
        QTest::newRow("one pixel too high") << 16u << 16385u << "is 16 x 16385 pixels, larger than 16384 a side";
        QTest::newRow("128 MiB decoded") << 8192u << 4096u << QString();
        QTest::newRow("a row past 128 MiB")
            << 8192u << 4097u << "is 8192 x 4097 pixels, more than 128 MiB to decode";
        QTest::newRow("largest square") << 16384u << 16384u << "is 16384 x 16384 pixels, more than 128 MiB to decode";
        QTest::newRow("no width") << 0u << 16u << "is not a picture that can be read (DDS, PNG, JPEG, TGA or BMP)";
    }

    void pictureSizeIsJudgedFromTheHeader()
    {
        QFETCH(quint32, width);
        QFETCH(quint32, height);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QString path = save(folder, "header.png", pngHeader(width, height));
        QCOMPARE(isValid(path), expected.isEmpty());
        if (expected.isEmpty())
            QCOMPARE(reason(), QString());
        else
            QVERIFY2(reason().startsWith(expected), qPrintable(reason()));
        QVERIFY(!convert(path, folder, 2, 0).has_value());
        QVERIFY2(!reason().isEmpty(), "a refused conversion gave no reason");
    }

    void everyRefusalSaysWhy_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("hint");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing file") << "missing" << 0 << "cannot be opened: No such file or directory";
        QTest::newRow("folder") << "folder" << 0 << "is not a regular file";
        QTest::newRow("empty name") << "empty name" << 0 << "has no name";
        QTest::newRow("other format") << "ppm" << 0 << "is not a picture that can be read (DDS, PNG, JPEG, TGA or BMP)";
        QTest::newRow("PNG cut after its header") << "header only" << 0 << "cannot be decoded: ";
        QTest::newRow("unknown size hint") << "png" << 7 << "cannot be converted with mode 2 and size hint 7";
        QTest::newRow("target in a missing folder") << "no target folder" << 0 << "cannot be written to ";
        QTest::newRow("DDS with a lying header") << "bad dds" << 0 << "is a DDS texture of a kind or size that cannot be read";
    }

    void everyRefusalSaysWhy()
    {
        QFETCH(QString, setup);
        QFETCH(int, hint);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        QString source = folder.filePath("paint.png");
        QString target = folder.filePath("out.bmp");
        if (setup == "folder")
            QVERIFY(QDir(folder.path()).mkdir("paint.png"));
        else if (setup == "empty name")
            source.clear();
        else if (setup == "ppm")
            source = save(folder, "paint.ppm", QByteArray("P6\n2 2\n255\n") + QByteArray(12, '\x40'));
        else if (setup == "header only")
            source = save(folder, "paint.png", pngHeader(64, 64));
        else if (setup == "png" || setup == "no target folder")
            source = save(folder, "paint.png", samplePng());
        else if (setup == "bad dds")
            source = save(folder, "paint.dds", QByteArray("DDS ") + QByteArray(124, '\xff'));
        if (setup == "no target folder")
            target = folder.filePath("missing/out.bmp");
        QVERIFY(setup == "missing" || setup == "empty name" || !source.isEmpty());

        unsigned char work[1024] = {};
        const QByteArray from = QFile::encodeName(source);
        QCOMPARE(_anytobmps(from.constData(), QFile::encodeName(target).constData(), work, 2, hint), 0);
        QVERIFY2(reason().startsWith(expected), qPrintable(reason()));
        QVERIFY(!QFile::exists(target));
    }

    void aSuccessForgetsTheLastRefusal()
    {
        QTemporaryDir folder;
        QVERIFY(!isValid(folder.filePath("missing.png")));
        QVERIFY(!reason().isEmpty());
        const QString path = save(folder, "paint.png", samplePng());
        QVERIFY(convert(path, folder, 2, 0).has_value());
        QCOMPARE(reason(), QString());
    }

    // Threads that convert at once each hear their own reason: the first
    // thread reads its reason after the second has failed differently, and
    // the second thread's success does not wipe the first one's refusal.
    void eachThreadHearsItsOwnReason()
    {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("folder.png"));
        const QByteArray inFolder = QFile::encodeName(folder.filePath("folder.png"));
        const QByteArray missing = QFile::encodeName(folder.filePath("missing.png"));
        const QByteArray good = QFile::encodeName(save(folder, "paint.png", samplePng()));
        std::barrier step(2);
        QString first, firstAfterSuccess, second;
        std::thread refusedFolder([&] {
            _Pic_Valid(inFolder.constData());
            step.arrive_and_wait(); // the other thread fails
            step.arrive_and_wait();
            first = reason();
            step.arrive_and_wait(); // the other thread succeeds
            step.arrive_and_wait();
            firstAfterSuccess = reason();
        });
        std::thread refusedMissing([&] {
            step.arrive_and_wait();
            _Pic_Valid(missing.constData());
            second = reason();
            step.arrive_and_wait();
            step.arrive_and_wait();
            _Pic_Valid(good.constData());
            step.arrive_and_wait();
        });
        refusedFolder.join();
        refusedMissing.join();
        QCOMPARE(first, QStringLiteral("is not a regular file"));
        QCOMPARE(firstAfterSuccess, QStringLiteral("is not a regular file"));
        QVERIFY2(second.startsWith("cannot be opened"), qPrintable(second));
    }
};

int runRefusalReasonTests(int argc, char **argv)
{
    RefusalReasonTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_RefusalReason.moc"
