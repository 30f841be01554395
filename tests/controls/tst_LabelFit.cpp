// One shortening rule serves the program buttons' captions (no margin) and
// the labels under the previews (a margin of 4).

#include "LabelFit.h"

#include <QTest>

using corvane::controls::FittedLabel;
using corvane::controls::fitLabel;

class TstLabelFit : public QObject
{
    Q_OBJECT

private slots:
    void shortening_data()
    {
        // Every character of a row is charWidth pixels wide; a label fits when
        // its margin plus its width is no more than the room.
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("room");
        QTest::addColumn<int>("charWidth");
        QTest::addColumn<int>("margin");
        QTest::addColumn<QString>("fitted");
        QTest::addColumn<int>("x");
        // When given, the forms tried, in this order and no other, up to the
        // one that fits.
        QTest::addColumn<QStringList>("forms");

        QTest::newRow("fits, centred") << "Viewer" << 64 << 7 << 0 << "Viewer" << 11 << QStringList();
        QTest::newRow("two full stops while long") << "Viewer program" << 64 << 7 << 0 << "Viewer .." << 0 << QStringList();
        QTest::newRow("four left keep their last character") << "abcdef" << 28 << 7 << 0 << "abc." << 0 << QStringList();
        QTest::newRow("short copies lose characters only") << "abcdefg" << 20 << 7 << 0 << "ab" << 0 << QStringList();
        QTest::newRow("no room at all") << "abc" << -30 << 7 << 0 << "" << 0 << QStringList();
        QTest::newRow("narrow label, margin wider than the least") << "AB" << 30 << 10 << 4 << "AB" << 5 << QStringList();

        const QStringList forms{"ABCDEFGH", "ABCDE..", "ABCD..", "ABC..", "ABC.", "ABC", "AB", "A", ""};
        const struct {
            const char *tag;
            int room;
            const char *fitted;
            int x;
        } margined[] = {
            {"margin: fits", 90, "ABCDEFGH", 5},
            {"margin: fits exactly", 84, "ABCDEFGH", 4},
            {"margin: one short", 83, "ABCDE..", 4},
            {"margin: two steps", 73, "ABCD..", 4},
            {"margin: three steps", 63, "ABC..", 4},
            {"margin: four steps", 53, "ABC.", 4},
            {"margin: no dots left", 43, "ABC", 4},
            {"margin: two letters", 33, "AB", 4},
            {"margin: one letter", 23, "A", 4},
            {"margin: nothing", 3, "", 4},
        };
        for (const auto &row : margined)
            QTest::newRow(row.tag) << "ABCDEFGH" << row.room << 10 << 4 << row.fitted << row.x
                                   << forms.mid(0, forms.indexOf(row.fitted) + 1);
    }
    void shortening()
    {
        QFETCH(QString, text);
        QFETCH(int, room);
        QFETCH(int, charWidth);
        QFETCH(int, margin);
        QFETCH(QString, fitted);
        QFETCH(QStringList, forms);
        QStringList tried;
        const FittedLabel label = fitLabel(text, room, [&](const QString &s) {
            tried << s;
            return int(s.size()) * charWidth;
        }, margin);
        QCOMPARE(label.text, fitted);
        QTEST(label.x, "x");
        QCOMPARE(label.width, int(fitted.size()) * charWidth);
        if (!forms.isEmpty())
            QCOMPARE(tried, forms);
    }

    void neverCutsACharacterInHalf()
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

QTEST_GUILESS_MAIN(TstLabelFit)
#include "tst_LabelFit.moc"
