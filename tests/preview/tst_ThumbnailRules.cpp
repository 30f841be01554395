// The preview's arithmetic and naming rules, without a window.

#include "LabelFit.h"
#include "ThumbnailGeometry.h"
#include "ThumbnailNames.h"

#include <QTest>

using namespace ThumbnailGeometry;
using corvane::controls::FittedLabel;
using corvane::controls::fitLabel;

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
        const FittedLabel label = fitLabel("ABCDEFGH", side, [&tried](const QString &text) {
            tried << text;
            return int(text.size()) * 10;
        }, 4);
        QCOMPARE(label.text, shown);
        QCOMPARE(label.width, int(shown.size()) * 10);
        // The forms are tried in this order and no other.
        const QStringList forms{"ABCDEFGH", "ABCDE..", "ABCD..", "ABC..", "ABC.", "ABC", "AB", "A", ""};
        QCOMPARE(tried, forms.mid(0, forms.indexOf(shown) + 1));
    }

    void labelThatFitsIsCentredByItsOwnMargin()
    {
        // A narrow label gets a wide margin, and keeps every character.
        const FittedLabel label = fitLabel("AB", 30, [](const QString &text) { return int(text.size()) * 10; }, 4);
        QCOMPARE(label.text, QString("AB"));
        QCOMPARE(label.x, 5);
    }

    void labelNeverCutsACharacterInHalf()
    {
        // Five characters outside the basic plane, two UTF-16 units each.
        const QString label = QString::fromUtf8("\xF0\x9F\x9B\xA9\xF0\x9F\x9B\xA9\xF0\x9F\x9B\xA9\xF0\x9F\x9B\xA9\xF0\x9F\x9B\xA9");
        QStringList tried;
        fitLabel(label, 40, [&tried](const QString &text) {
            tried << text;
            return int(text.toUcs4().size()) * 10;
        }, 4);
        for (const QString &text : std::as_const(tried)) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                const bool paired = text.at(i).isHighSurrogate() ? i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                                                                   : !text.at(i).isLowSurrogate() || (i > 0 && text.at(i - 1).isHighSurrogate());
                QVERIFY2(paired, qPrintable(QStringLiteral("half a character in form %1").arg(tried.indexOf(text))));
            }
        }
        QCOMPARE(tried.size(), 3);
    }
};

int runThumbnailRulesTests(int argc, char **argv)
{
    ThumbnailRulesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ThumbnailRules.moc"
