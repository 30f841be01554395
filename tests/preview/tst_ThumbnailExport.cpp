// Exports: a fresh full-resolution conversion written at another size.

#include "PreviewTestSupport.h"

#include <QTest>

class ThumbnailExportTest : public QObject
{
    Q_OBJECT

private slots:
    void exportWritesScaledBitmapAndLeavesThePreviewAlone()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetBitmapSize(512);
        qputenv("FAKE_KORRAD_SIZE", "256x256");
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        const QImage before = thumbnail.Picture();
        thumbnail.SetUseCache(true);
        scene.forgetCalls();

        const QString target = scene.path("export.bmp");
        thumbnail.ExportBitmap(target, 1024);
        qunsetenv("FAKE_KORRAD_SIZE");

        QCOMPARE(QImage(target, "BMP").size(), QSize(1024, 1024));
        QCOMPARE(scene.conversions().value(0).section(u'|', 3, 4), QString("2|2"));
        QVERIFY(thumbnail.Picture() == before);
        QVERIFY(!QFile::exists(scene.paint("plane_t._tm")));
        QVERIFY(thumbnail.UseCache());
        QVERIFY(thumbnail.HasPicture());
        QCOMPARE(scene.leftInTemp(), QStringList());

        // The next file shows as usual, and is cached again.
        thumbnail.SetFileName(scene.paint("other_t.dds"));
        QVERIFY(thumbnail.HasPicture());
        QVERIFY(QFile::exists(scene.paint("other_t._tm")));
    }

    void exportKeepsProportions()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetBitmapSize(512);
        qputenv("FAKE_KORRAD_SIZE", "300x200");
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        thumbnail.SetFullSize(true);
        thumbnail.ExportBitmap(scene.path("export.bmp"), 100);
        qunsetenv("FAKE_KORRAD_SIZE");
        // Fitted 512 x 341, scaled by 100 / 512 with truncation.
        QCOMPARE(QImage(scene.path("export.bmp"), "BMP").size(), QSize(100, 66));
        QCOMPARE(scene.conversions().last().section(u'|', 3, 4), QString("2|0"));
    }

    void sizeZeroDoesNothing()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        scene.forgetCalls();
        thumbnail.ExportBitmap(scene.path("export.bmp"), 0);
        QVERIFY(!QFile::exists(scene.path("export.bmp")));
        QCOMPARE(scene.calls().size(), 0);
        QVERIFY(thumbnail.HasPicture());
    }

    void failedConversionWritesNothing()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetUseCache(true);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        QFile earlier(scene.path("export.bmp"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier export");
        earlier.close();

        qputenv("FAKE_KORRAD_CONVERT", "0");
        thumbnail.ExportBitmap(earlier.fileName(), 256);
        qunsetenv("FAKE_KORRAD_CONVERT");
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("an earlier export"));
        QVERIFY(!thumbnail.HasPicture());
        QVERIFY(thumbnail.UseCache());
        QCOMPARE(scene.leftInTemp(), QStringList());
    }
};

int runThumbnailExportTests(int argc, char **argv)
{
    ThumbnailExportTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ThumbnailExport.moc"
