// The preview's arithmetic and naming rules, without a window.

#include "LabelShortening.h"
#include "ThumbnailGeometry.h"
#include "ThumbnailNames.h"

#include <QTest>

using namespace ThumbnailGeometry;

class ThumbnailRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void sizeHints_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("fullSize");
        QTest::addColumn<bool>("exporting");
        QTest::addColumn<int>("hint");
        QTest::newRow("512") << 512 << false << false << 1;
        QTest::newRow("101") << 101 << false << false << 1;
        QTest::newRow("100") << 100 << false << false << 2;
        QTest::newRow("80") << 80 << false << false << 2;
        QTest::newRow("79") << 79 << false << false << 3;
        QTest::newRow("full size") << 512 << true << false << 0;
        QTest::newRow("export") << 512 << false << true << 2;
        QTest::newRow("small export") << 40 << false << true << 2;
        QTest::newRow("full-size export") << 512 << true << true << 0;
    }

    void sizeHints()
    {
        QFETCH(int, side);
        QFETCH(bool, fullSize);
        QFETCH(bool, exporting);
        QFETCH(int, hint);
        QCOMPARE(librarySizeHint(side, fullSize, exporting), hint);
    }

    void fitAndPlace_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("side");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("square") << QSize(1024, 1024) << 512 << QRect(4, 4, 512, 512);
        QTest::newRow("wide") << QSize(1024, 512) << 512 << QRect(4, 132, 512, 256);
        QTest::newRow("tall") << QSize(512, 1024) << 512 << QRect(132, 4, 256, 512);
        QTest::newRow("tall, small square") << QSize(256, 512) << 80 << QRect(24, 4, 40, 80);
        QTest::newRow("truncated, not rounded") << QSize(300, 200) << 80 << QRect(4, 17, 80, 53);
        QTest::newRow("odd leftover") << QSize(3, 2) << 7 << QRect(4, 5, 7, 4);
        QTest::newRow("sliver keeps a pixel") << QSize(1000, 1) << 80 << QRect(4, 43, 80, 1);
    }

    void fitAndPlace()
    {
        QFETCH(QSize, picture);
        QFETCH(int, side);
        QFETCH(QRect, placed);
        const auto fit = fitInSquare(picture.width(), picture.height(), side);
        QVERIFY(fit.has_value());
        QCOMPARE(QRect(fit->left, fit->top, fit->width, fit->height), placed);
    }

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

    void labelShortening_data()
    {
        // Every character 10 pixels wide: the label passes when its width
        // plus the margin of 4 is no more than the side.
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits") << 90 << "ABCDEFGH";
        QTest::newRow("fits exactly") << 84 << "ABCDEFGH";
        QTest::newRow("one short") << 83 << "ABCDE..";
        QTest::newRow("two steps") << 73 << "ABCD..";
        QTest::newRow("three steps") << 63 << "ABC..";
        QTest::newRow("four steps") << 53 << "ABC.";
        QTest::newRow("no dots left") << 43 << "ABC";
        QTest::newRow("two letters") << 33 << "AB";
        QTest::newRow("one letter") << 23 << "A";
        QTest::newRow("nothing") << 3 << "";
    }

    void labelShortening()
    {
        QFETCH(int, side);
        QFETCH(QString, shown);
        QStringList tried;
        const ShortLabel label = shortenLabel("ABCDEFGH", side, [&tried](const QString &text) {
            tried << text;
            return int(text.size()) * 10;
        });
        QCOMPARE(label.text, shown);
        QCOMPARE(label.width, int(shown.size()) * 10);
        // The forms are tried in this order and no other.
        const QStringList forms{"ABCDEFGH", "ABCDE..", "ABCD..", "ABC..", "ABC.", "ABC", "AB", "A", ""};
        QCOMPARE(tried, forms.mid(0, forms.indexOf(shown) + 1));
    }

    void labelThatFitsIsCentredByItsOwnMargin()
    {
        // A narrow label gets a wide margin, and keeps every character.
        const ShortLabel label = shortenLabel("AB", 30, [](const QString &text) { return int(text.size()) * 10; });
        QCOMPARE(label.text, QString("AB"));
    }
};

int runThumbnailRulesTests(int argc, char **argv)
{
    ThumbnailRulesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ThumbnailRulesTest.moc"
