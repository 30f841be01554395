// The control with the real conversion library found beside the program.

#include "PreviewTestSupport.h"

#include <QTest>

class ThumbnailWithKorradTest : public QObject
{
    Q_OBJECT

private slots:
    void referenceTexturesShow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("DXT1") << "dxt1-rgb-4bbp-noalpha_MipMaps-1.dds" << QSize(512, 512);
        QTest::newRow("DXT5") << "dxt5-argb-8bbp-interpolatedalpha_MipMaps-1.dds" << QSize(512, 512);
        QTest::newRow("bit masks, 800 x 600") << "uncompressed_rgb.dds" << QSize(512, 384);
    }

    void referenceTexturesShow()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        PreviewScene scene;
        TThumbnail thumbnail;
        thumbnail.SetBitmapSize(512);
        thumbnail.SetShowLabel(false);
        thumbnail.SetFileName(QStringLiteral(CORVANE_TESTDATA_DIR "/dds/") + name);
        QVERIFY(thumbnail.HasPicture());
        QCOMPARE(thumbnail.Picture().size(), size);
        QCOMPARE(scene.leftInTemp(), QStringList());

        // Scaled from the same reference picture the library's tests compare with.
        QImage reference(QStringLiteral(CORVANE_TESTDATA_DIR "/dds/") + QString(name).replace(".dds", ".png"));
        const QImage expected = reference.convertToFormat(QImage::Format_RGB32)
                                    .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QRgb got = thumbnail.Picture().pixel(size.width() / 3, size.height() / 3);
        const QRgb want = expected.pixel(size.width() / 3, size.height() / 3);
        QVERIFY(std::abs(qRed(got) - qRed(want)) <= 16 && std::abs(qGreen(got) - qGreen(want)) <= 16
                && std::abs(qBlue(got) - qBlue(want)) <= 16);
    }

    void brokenTextureShowsNothing()
    {
        PreviewScene scene;
        QFile broken(scene.paint("broken_t.dds"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        QFile good(QStringLiteral(CORVANE_TESTDATA_DIR "/dds/dxt1-rgb-4bbp-noalpha_MipMaps-1.dds"));
        QVERIFY(good.open(QIODevice::ReadOnly));
        broken.write(good.read(5000));
        broken.close();

        TThumbnail thumbnail;
        thumbnail.SetFileName(good.fileName());
        QVERIFY(thumbnail.HasPicture());
        thumbnail.SetFileName(broken.fileName());
        QVERIFY(!thumbnail.HasPicture());
        QCOMPARE(scene.leftInTemp(), QStringList());
    }
};

int runThumbnailWithKorradTests(int argc, char **argv)
{
    ThumbnailWithKorradTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ThumbnailWithKorrad.moc"
