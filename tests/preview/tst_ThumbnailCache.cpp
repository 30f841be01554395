// The "._tm" cache files and the operations around them.

#include "PreviewTestSupport.h"

#include <QTest>

namespace {

QImage bitmapAt(const QString &path)
{
    return QImage(path, "BMP");
}

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class ThumbnailCacheTest : public QObject
{
    Q_OBJECT

private slots:
    void convertedPictureIsCachedThenReadWithoutTheLibrary()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetBitmapSize(512);
        thumbnail.SetUseCache(true);
        const QString name = scene.paint("plane_t.dds");
        thumbnail.SetFileName(name);
        QVERIFY(thumbnail.HasPicture());
        QVERIFY(!thumbnail.WasCached());
        const QString cache = scene.paint("plane_t._tm");
        QCOMPARE(thumbnail.CacheFileName(), cache);
        QCOMPARE(bitmapAt(cache).size(), QSize(512, 512));
        QCOMPARE(scene.leftInTemp(), QStringList());

        thumbnail.SetFileName(QString());
        scene.forgetCalls();
        thumbnail.SetFileName(name);
        QVERIFY(thumbnail.WasCached());
        QVERIFY(thumbnail.HasPicture());
        QCOMPARE(scene.calls().size(), 0);
        QCOMPARE(thumbnail.Picture().size(), QSize(512, 512));
        QCOMPARE(thumbnail.Picture().pixel(3, 256), qRgb(255, 0, 0));
    }

    void cachedPictureKeepsItsStoredSize()
    {
        PreviewScene scene;
        const QString name = scene.paint("plane_t.dds");
        {
            TThumbnail writer;
            PreviewScene::useFake(writer);
            writer.SetBitmapSize(512);
            writer.SetUseCache(true);
            writer.SetFileName(name);
        }
        TThumbnail reader;
        PreviewScene::useFake(reader);
        reader.SetUseCache(true);
        scene.forgetCalls();
        reader.SetFileName(name);
        QVERIFY(reader.WasCached());
        QCOMPARE(reader.Picture().size(), QSize(512, 512));
        QCOMPARE(reader.PictureLeft(), (80 - 512) / 2 + 4);
        QCOMPARE(reader.PictureTop(), (80 - 512) / 2 + 4);
        QCOMPARE(scene.calls().size(), 0);
    }

    void cacheFolderIsPutInFrontOfTheName()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetUseCache(true);
        thumbnail.SetCacheDirectory(scene.path("cache"));
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        QVERIFY(QFile::exists(scene.path("cacheplane_t._tm")));
        QVERIFY(!QFile::exists(scene.paint("plane_t._tm")));
    }

    void unreadableCacheLeavesTheSquareEmpty()
    {
        PreviewScene scene;
        writeText(scene.paint("plane_t._tm"), "this is no bitmap");
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetUseCache(true);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        QVERIFY(!thumbnail.HasPicture());
        QVERIFY(!thumbnail.WasCached());
        QCOMPARE(scene.calls().size(), 0);
        QCOMPARE(scene.leftInTemp(), QStringList());
    }

    void cacheIsNotReadWhenSwitchedOff()
    {
        PreviewScene scene;
        writeText(scene.paint("plane_t._tm"), "this is no bitmap");
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        QVERIFY(thumbnail.HasPicture());
        QVERIFY(!thumbnail.WasCached());
        // Nor written.
        QCOMPARE(QFileInfo(scene.paint("plane_t._tm")).size(), qint64(17));
    }

    void rebuildConvertsAnewAndRewritesTheCache()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetUseCache(true);
        thumbnail.RebuildCache(); // no file yet
        QCOMPARE(scene.calls().size(), 0);
        thumbnail.SetUseCache(false);
        const QString name = scene.paint("plane_t.dds");
        qputenv("FAKE_KORRAD_SIZE", "160x80");
        thumbnail.SetFileName(name);

        // Without the cache switched on, nothing happens.
        scene.forgetCalls();
        thumbnail.RebuildCache();
        QCOMPARE(scene.calls().size(), 0);

        thumbnail.SetUseCache(true);
        thumbnail.SetFileName(QString());
        thumbnail.SetFileName(name);
        QCOMPARE(bitmapAt(scene.paint("plane_t._tm")).size(), QSize(80, 40));

        qputenv("FAKE_KORRAD_SIZE", "80x160");
        scene.forgetCalls();
        thumbnail.RebuildCache();
        qunsetenv("FAKE_KORRAD_SIZE");
        QCOMPARE(scene.conversions().size(), 1);
        QVERIFY(thumbnail.UseCache());
        QVERIFY(!thumbnail.WasCached());
        QCOMPARE(bitmapAt(scene.paint("plane_t._tm")).size(), QSize(40, 80));
    }

    void newBitmapSizeRebuildsTheCache()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetUseCache(true);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        thumbnail.SetBitmapSize(120);
        QVERIFY(!thumbnail.WasCached());
        QCOMPARE(bitmapAt(scene.paint("plane_t._tm")).size(), QSize(120, 120));
        QVERIFY(thumbnail.UseCache());
    }

    void deleteAndSave()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.DeleteCache(); // no cache name yet: nothing to do
        thumbnail.SetUseCache(true);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        const QString cache = scene.paint("plane_t._tm");
        QVERIFY(QFile::exists(cache));

        thumbnail.DeleteCache();
        QVERIFY(!QFile::exists(cache));
        QVERIFY(thumbnail.HasPicture());

        thumbnail.SaveBitmap(QString());
        QCOMPARE(bitmapAt(cache).size(), QSize(80, 80));
        const QString copy = scene.path("copy.bmp");
        thumbnail.SaveBitmap(copy);
        QCOMPARE(bitmapAt(copy).pixel(1, 40), qRgb(255, 0, 0));

        // A place that cannot be written is ignored.
        thumbnail.SaveBitmap(scene.path("no/such/folder/x.bmp"));
        QVERIFY(!QFile::exists(scene.path("no/such/folder/x.bmp")));
    }
};

int runThumbnailCacheTests(int argc, char **argv)
{
    ThumbnailCacheTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ThumbnailCache.moc"
