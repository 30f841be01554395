// The preview's arithmetic and naming rules, without a window.

#include "ThumbnailGeometry.h"
#include "ThumbnailNames.h"

#include <QTest>

using namespace ThumbnailGeometry;

class ThumbnailRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void nothingFitsIntoNothing()
    {
        QVERIFY(!fitInSquare(0, 10, 80));
        QVERIFY(!fitInSquare(10, 10, 0));
        QVERIFY(!fitInSquare(10, 10, -5));
    }

    void exportExtents()
    {
        QCOMPARE(exportExtent(1024, 512, 512), 1024);
        QCOMPARE(exportExtent(1024, 256, 512), 512);
        QCOMPARE(exportExtent(100, 53, 80), 66); // 5300 / 80, truncated
        QCOMPARE(exportExtent(-100, 80, 80), 0);
        QCOMPARE(exportExtent(2000000000, 512, 512), 0); // no overflow into a bogus size
    }

    void names_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("cacheFolder");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("cache");
        QTest::newRow("texture") << "/game/Aircraft/Spit/plane_t.dds" << "" << "plane_t.dds" << ".dds"
                                 << "/game/Aircraft/Spit/plane_t._tm";
        QTest::newRow("no extension") << "/paints/plane" << "" << "plane" << "" << "/paints/plane._tm";
        QTest::newRow("dot in a folder only") << "/my.paints/plane" << "" << "plane" << ""
                                              << "/my.paints/plane._tm";
        QTest::newRow("two dots") << "/p/plane.old.dds" << "" << "plane.old.dds" << ".dds" << "/p/plane.old._tm";
        QTest::newRow("cache folder with separator") << "/p/plane_t.dds" << "/cache/" << "plane_t.dds" << ".dds"
                                                     << "/cache/plane_t._tm";
        QTest::newRow("cache folder without separator") << "/p/plane_t.dds" << "/cache" << "plane_t.dds" << ".dds"
                                                        << "/cacheplane_t._tm";
        QTest::newRow("empty") << "" << "" << "" << "" << "._tm";
    }

    void names()
    {
        QFETCH(QString, path);
        QFETCH(QString, cacheFolder);
        QFETCH(QString, label);
        QFETCH(QString, extension);
        QFETCH(QString, cache);
        QCOMPARE(ThumbnailNames::fileNamePart(path), label);
        QCOMPARE(ThumbnailNames::extension(path), extension);
        QCOMPARE(ThumbnailNames::cacheFileName(path, cacheFolder), cache);
    }
};

int runThumbnailRulesTests(int argc, char **argv)
{
    ThumbnailRulesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ThumbnailRules.moc"
