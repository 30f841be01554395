// One load of a picture through the stand-in library: what the control asks
// of it, what it does with the answer, and what it leaves behind.

#include "PreviewTestSupport.h"

#include <QTest>

class ThumbnailLoadTest : public QObject
{
    Q_OBJECT

private slots:
    void sameNameDoesNothingOtherNameLoads()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        const QString name = scene.paint("plane_t.dds");
        thumbnail.SetFileName(name);
        QVERIFY(thumbnail.HasPicture());
        QCOMPARE(scene.callsFor(name).size(), 2); // asked, then converted
        thumbnail.SetFileName(name);
        QCOMPARE(scene.calls().size(), 2);

        // Letter case counts.
        const QString upper = scene.paint("PLANE_T.dds");
        thumbnail.SetFileName(upper);
        QCOMPARE(scene.callsFor(upper).size(), 2);

        // The empty text in between makes the same name load again.
        scene.forgetCalls();
        thumbnail.SetFileName(QString());
        thumbnail.SetFileName(upper);
        QCOMPARE(scene.callsFor(upper).size(), 2);
        QVERIFY(thumbnail.HasPicture());
    }

    void emptyNameIsStillAskedOfTheLibrary()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetFileName(scene.paint("a.dds"));
        scene.forgetCalls();
        thumbnail.SetFileName(QString());
        QCOMPARE(scene.calls().value(0), QString("valid|"));
        QCOMPARE(thumbnail.LabelText(), QString());
    }

    void hintAndModeFollowTheSquare_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("fullSize");
        QTest::addColumn<QString>("modeAndHint");
        QTest::newRow("512") << 512 << false << "1|1";
        QTest::newRow("101") << 101 << false << "1|1";
        QTest::newRow("100") << 100 << false << "1|2";
        QTest::newRow("80") << 80 << false << "1|2";
        QTest::newRow("79") << 79 << false << "1|3";
        QTest::newRow("full size") << 512 << true << "1|0";
    }

    void hintAndModeFollowTheSquare()
    {
        QFETCH(int, side);
        QFETCH(bool, fullSize);
        QFETCH(QString, modeAndHint);
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetBitmapSize(side);
        thumbnail.SetFullSize(fullSize);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        const QStringList converted = scene.conversions();
        QCOMPARE(converted.size(), 1);
        QCOMPARE(converted[0].section(u'|', 3, 4), modeAndHint);
        // The work area reaches the library, and the control never wrote to it.
        QCOMPARE(converted[0].section(u'|', 6, 6), QString("work"));
    }

    void temporaryBitmapIsUniqueAndRemoved()
    {
        PreviewScene scene;
        // A file of the player's that carries the name a naive copy would use.
        QFile players(QDir(scene.temp()).filePath("plane_t.bmp"));
        QVERIFY(players.open(QIODevice::WriteOnly));
        players.write("mine");
        players.close();

        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        QVERIFY(thumbnail.HasPicture());

        const QString target = scene.conversions().value(0).section(u'|', 2, 2);
        QCOMPARE(QFileInfo(target).absolutePath(), QFileInfo(scene.temp()).absoluteFilePath());
        QVERIFY(target.endsWith(".bmp"));
        QVERIFY(target != players.fileName());
        QVERIFY(!QFile::exists(target));
        QCOMPARE(scene.leftInTemp(), QStringList{"plane_t.bmp"});
        QVERIFY(players.open(QIODevice::ReadOnly));
        QCOMPARE(players.readAll(), QByteArray("mine"));
    }

    void temporaryFolderFallsBackToTmpThenTheSystem()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);

        QDir(scene.root.path()).mkpath("tmp");
        qunsetenv("TEMP");
        qputenv("TMP", scene.path("tmp").toLocal8Bit());
        thumbnail.SetFileName(scene.paint("one.dds"));
        QCOMPARE(QFileInfo(scene.conversions().value(0).section(u'|', 2, 2)).absolutePath(),
                 QFileInfo(scene.path("tmp")).absoluteFilePath());

        QDir(scene.root.path()).mkpath("system");
        qunsetenv("TMP");
#ifdef Q_OS_WIN
        const char *systemSetting = "USERPROFILE"; // what Windows takes after TMP and TEMP
#else
        const char *systemSetting = "TMPDIR";
#endif
        const QByteArray oldSystemSetting = qgetenv(systemSetting);
        qputenv(systemSetting, scene.path("system").toLocal8Bit());
        scene.forgetCalls();
        thumbnail.SetFileName(scene.paint("two.dds"));
        QCOMPARE(QFileInfo(scene.conversions().value(0).section(u'|', 2, 2)).absolutePath(),
                 QFileInfo(scene.path("system")).absoluteFilePath());
        QVERIFY(QDir(scene.path("system")).isEmpty());
        if (oldSystemSetting.isEmpty())
            qunsetenv(systemSetting);
        else
            qputenv(systemSetting, oldSystemSetting);
        QVERIFY(thumbnail.HasPicture());
    }

    void failuresLeaveNoPictureAndNoFiles_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<bool>("greyscale");
        QTest::addColumn<int>("callsExpected");
        QTest::newRow("no library") << "no-such-conversion-library" << QByteArray() << false << 0;
        QTest::newRow("no check entry") << "fakekorrad_novalid" << QByteArray() << false << 0;
        QTest::newRow("no grey entry") << "fakekorrad_nogrey" << QByteArray() << true << 0;
        QTest::newRow("file refused") << "fakekorrad" << QByteArray("FAKE_KORRAD_VALID=0") << false << 1;
        QTest::newRow("conversion failed") << "fakekorrad" << QByteArray("FAKE_KORRAD_CONVERT=0") << false << 2;
        QTest::newRow("no bitmap written") << "fakekorrad" << QByteArray("FAKE_KORRAD_GARBAGE=1") << false << 2;
        QTest::newRow("empty bitmap") << "fakekorrad" << QByteArray("FAKE_KORRAD_SIZE=0x0") << false << 2;
    }

    void failuresLeaveNoPictureAndNoFiles()
    {
        QFETCH(QString, library);
        QFETCH(QByteArray, setting);
        QFETCH(bool, greyscale);
        QFETCH(int, callsExpected);
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetFileName(scene.paint("good.dds"));
        QVERIFY(thumbnail.HasPicture());
        scene.forgetCalls();

        thumbnail.SetLibraryName(library);
        thumbnail.SetGreyscale(greyscale);
        const QByteArray variable = setting.left(setting.indexOf('='));
        if (!setting.isEmpty())
            qputenv(variable.constData(), setting.mid(setting.indexOf('=') + 1));
        const QString name = scene.paint("broken_t.dds");
        thumbnail.SetFileName(name);
        if (!setting.isEmpty())
            qunsetenv(variable.constData());

        QVERIFY(!thumbnail.HasPicture());
        QVERIFY(!thumbnail.WasCached());
        QCOMPARE(thumbnail.FileName(), name);
        QCOMPARE(thumbnail.LabelText(), QString("broken_t.dds"));
        QCOMPARE(scene.calls().size(), callsExpected);
        QCOMPARE(scene.leftInTemp(), QStringList());
    }

    void greyscaleUsesTheGreyEntry()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetGreyscale(true);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        QVERIFY(scene.conversions().value(0).startsWith("grey|"));
        const QRgb pixel = thumbnail.Picture().pixel(2, 2);
        QVERIFY(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel));
    }

    void convertedPictureIsFittedIntoTheSquare_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<QByteArray>("converted");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("square") << 512 << QByteArray("1024x1024") << QRect(4, 4, 512, 512);
        QTest::newRow("wide") << 512 << QByteArray("1024x512") << QRect(4, 132, 512, 256);
        QTest::newRow("tall") << 512 << QByteArray("512x1024") << QRect(132, 4, 256, 512);
        QTest::newRow("small square") << 80 << QByteArray("256x512") << QRect(24, 4, 40, 80);
        QTest::newRow("enlarged") << 512 << QByteArray("64x64") << QRect(4, 4, 512, 512);
        QTest::newRow("truncated, not rounded") << 80 << QByteArray("300x200") << QRect(4, 17, 80, 53);
        QTest::newRow("sliver keeps a pixel") << 80 << QByteArray("1000x2") << QRect(4, 43, 80, 1);
    }

    void convertedPictureIsFittedIntoTheSquare()
    {
        QFETCH(int, side);
        QFETCH(QByteArray, converted);
        QFETCH(QRect, placed);
        PreviewScene scene;
        qputenv("FAKE_KORRAD_SIZE", converted);
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetBitmapSize(side);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        qunsetenv("FAKE_KORRAD_SIZE");
        QVERIFY(thumbnail.HasPicture());
        QCOMPARE(QRect(QPoint(thumbnail.PictureLeft(), thumbnail.PictureTop()), thumbnail.Picture().size()), placed);
        // Left half red, right half blue, whatever the scale.
        const QImage &picture = thumbnail.Picture();
        QCOMPARE(picture.pixel(1, picture.height() / 2), qRgb(255, 0, 0));
        QCOMPARE(picture.pixel(picture.width() - 2, picture.height() / 2), qRgb(0, 0, 255));
    }

    void newBitmapSizeReloadsOnlyWithAPicture()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetBitmapSize(512);
        QCOMPARE(scene.calls().size(), 0);
        QCOMPARE(thumbnail.TotalHeight(), 532);

        qputenv("FAKE_KORRAD_SIZE", "256x256");
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        QCOMPARE(thumbnail.Picture().size(), QSize(512, 512));
        scene.forgetCalls();
        thumbnail.SetBitmapSize(64);
        qunsetenv("FAKE_KORRAD_SIZE");
        QCOMPARE(scene.conversions().size(), 1);
        QCOMPARE(scene.conversions()[0].section(u'|', 4, 4), QString("3"));
        QCOMPARE(thumbnail.Picture().size(), QSize(64, 64));

        scene.forgetCalls();
        thumbnail.SetBitmapSize(64);
        QCOMPARE(scene.calls().size(), 0);
    }

    void settersThatOnlyStore()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetUseCache(true);
        thumbnail.SetGreyscale(true);
        thumbnail.SetFullSize(true);
        thumbnail.SetCacheDirectory(scene.path("cache/"));
        QCOMPARE(scene.calls().size(), 0);
        QVERIFY(thumbnail.UseCache());
    }
};

int runThumbnailLoadTests(int argc, char **argv)
{
    ThumbnailLoadTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ThumbnailLoad.moc"
