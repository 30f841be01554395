#include "Hangar.h"
#include "TempTree.h"
#include "TestGame.h"

#include <QDate>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using TempTree::readFile;
using TempTree::snapshot;
using TempTree::writeFile;

namespace {

// What the player could do after the main texture changed outside Corvane.
enum class Step { Apply, Restore, Adopt };

} // namespace

Q_DECLARE_METATYPE(Step)

// The promise the tool stands on: whatever was ever the aircraft's main
// texture stays somewhere in its folder, byte for byte, whatever the player
// answers, and restoring never brings back an outdated original.
class OriginalsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_game;
    QString m_folder;
    Hangar m_hangar;
    QList<QByteArray> m_everInstalled;

    void selectP51()
    {
        m_hangar.setGameFolder(m_game);
        m_hangar.scan(Hangar::ListCreation::CreateMissing);
        QVERIFY(m_hangar.select(m_hangar.find("P51").first()));
    }

    void replaceMainTexture(const QByteArray &bytes)
    {
        QVERIFY(writeFile(m_folder + "P51_t.dds", bytes));
        m_everInstalled << bytes;
    }

    PaintResult run(Step step, Hangar::ChangedOriginal changed)
    {
        switch (step) {
        case Step::Apply:
            return m_hangar.apply(4, changed); // Arctic
        case Step::Restore:
            return m_hangar.restore(changed);
        case Step::Adopt:
            return m_hangar.adopt();
        }
        return {};
    }

    void verifyNothingLost()
    {
        const QList<QByteArray> held = snapshot(m_folder).values();
        for (const QByteArray &content : std::as_const(m_everInstalled))
            QVERIFY2(held.contains(content), content.mid(128).constData());
    }

private slots:
    void init()
    {
        m_game = m_dir.filePath(QString("%1-%2/").arg(QTest::currentTestFunction(), QTest::currentDataTag()));
        m_folder = TestGame::addAircraft(m_game, "P51", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"}, {"Arctic", "arctic.dds"}});
        m_everInstalled = {TestGame::texture("original P51")};
        selectP51();
    }

    void anUpdatedAircraftKeepsItsNewOriginal_data()
    {
        QTest::addColumn<Step>("step");
        QTest::newRow("apply") << Step::Apply;
        QTest::newRow("restore") << Step::Restore;
        QTest::newRow("adopt") << Step::Adopt;
    }

    void anUpdatedAircraftKeepsItsNewOriginal()
    {
        QFETCH(Step, step);
        QVERIFY(m_hangar.apply(3)); // Navy; the original is backed up
        replaceMainTexture(TestGame::texture("updated P51")); // the aircraft's update

        const auto before = snapshot(m_folder);
        if (step != Step::Adopt) {
            const PaintResult refused = run(step, Hangar::ChangedOriginal::Refuse);
            QVERIFY(!refused);
            QVERIFY(refused.changedOutside);
            QVERIFY2(refused.reason.contains("changed outside Corvane") && refused.reason.contains("P51_t.dds"),
                     qPrintable(refused.reason));
            QCOMPARE(snapshot(m_folder), before);
        }

        const PaintResult done = run(step, Hangar::ChangedOriginal::Adopt);
        QVERIFY2(done, qPrintable(done.message()));
        verifyNothingLost();
        QCOMPARE(readFile(m_folder + "P51_t.dds.bak"), TestGame::texture("updated P51"));
        QCOMPARE(readFile(m_folder + "P51_t.dds.bak.1"), TestGame::texture("original P51"));
        const PaintTable &table = m_hangar.paintTable();
        QCOMPARE(table.rowCount(), 6);
        const QString oldOriginal = "Original before " + QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(table.displayText(5), oldOriginal);
        QCOMPARE(readFile(m_folder + "P51.pnt"),
                 TestGame::paintList("P51", "P51_t.dds", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"},
                                                         {"Arctic", "arctic.dds"}, {oldOriginal.toUtf8(), "P51_t.dds.bak.1"}}));
        QVERIFY(done.note.contains(oldOriginal));

        // Restoring gives the new original; the old one is a paint to choose.
        QVERIFY(m_hangar.restore());
        QCOMPARE(readFile(m_folder + "P51_t.dds"), TestGame::texture("updated P51"));
        QCOMPARE(m_hangar.installedRow(), PaintTable::DefaultRow);
        QVERIFY(m_hangar.apply(5));
        QCOMPARE(readFile(m_folder + "P51_t.dds"), TestGame::texture("original P51"));
        QCOMPARE(m_hangar.installedRow(), 5);
        verifyNothingLost();

        // A second update moves this original aside too, under the next name.
        replaceMainTexture(TestGame::texture("second update"));
        QVERIFY(m_hangar.restore(Hangar::ChangedOriginal::Adopt));
        QCOMPARE(readFile(m_folder + "P51_t.dds.bak.2"), TestGame::texture("updated P51"));
        QCOMPARE(m_hangar.paintTable().displayText(6), oldOriginal + " (2)");
        QCOMPARE(readFile(m_folder + "P51_t.dds"), TestGame::texture("second update"));
        verifyNothingLost();
    }

    void contentFoundNowhereElseIsNeverOverwritten_data()
    {
        QTest::addColumn<QString>("story");
        QTest::newRow("main texture edited in place") << "edited";
        QTest::newRow("paint deleted after it was applied") << "deleted";
        QTest::newRow("paint edited after it was applied") << "paint edited";
    }

    void contentFoundNowhereElseIsNeverOverwritten()
    {
        QFETCH(QString, story);
        QVERIFY(m_hangar.apply(3)); // Navy
        m_everInstalled << TestGame::texture("paint navy.dds");
        if (story == "edited")
            replaceMainTexture(TestGame::texture("navy with a new nose"));
        else if (story == "deleted")
            QVERIFY(QFile::remove(m_folder + "navy.dds"));
        else
            QVERIFY(writeFile(m_folder + "navy.dds", TestGame::texture("navy, repainted")));

        const auto before = snapshot(m_folder);
        const PaintResult refused = m_hangar.apply(2);
        QVERIFY(refused.changedOutside);
        QCOMPARE(snapshot(m_folder), before);
        QVERIFY(m_hangar.apply(2, Hangar::ChangedOriginal::Adopt));
        QCOMPARE(readFile(m_folder + "P51_t.dds"), TestGame::texture("paint desert.dds"));
        verifyNothingLost();
    }

    void withoutABackupTheMainTextureIsTheOriginal()
    {
        m_everInstalled.clear(); // replaced by the player, not by Corvane
        replaceMainTexture(TestGame::texture("put there by another tool"));
        const PaintResult applied = m_hangar.apply(2);
        QVERIFY2(applied, qPrintable(applied.message()));
        QCOMPARE(readFile(m_folder + "P51_t.dds.bak"), TestGame::texture("put there by another tool"));
        QCOMPARE(m_hangar.paintTable().rowCount(), 5); // nothing to move aside
        QVERIFY(m_hangar.adopt());                     // known now: nothing to do
        QCOMPARE(m_hangar.paintTable().rowCount(), 5);
        verifyNothingLost();
    }

    void onlyTexturesTheGameLoadsAreApplied_data()
    {
        QTest::addColumn<QByteArray>("paint");
        QTest::addColumn<QString>("told");
        QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1a\n....IHDR") << "is a PNG picture, not a DDS texture";
        QTest::newRow("JPEG") << QByteArray("\xff\xd8\xff\xe0..JFIF") << "is a JPEG picture, not a DDS texture";
        QTest::newRow("renamed read-me") << QByteArray("Thanks for downloading!\r\n") << "is text, not a DDS texture";
        QTest::newRow("empty") << QByteArray() << "is an empty file";
        QTest::newRow("format the game lacks") << TestGame::texture("x", 4, "DX10") << "DXT1, DXT3 and DXT5 only";
    }

    void onlyTexturesTheGameLoadsAreApplied()
    {
        QFETCH(QByteArray, paint);
        QFETCH(QString, told);
        QVERIFY(writeFile(m_folder + "desert.dds", paint));
        const auto before = snapshot(m_folder);
        const PaintResult refused = m_hangar.apply(2);
        QVERIFY(!refused);
        QVERIFY2(refused.reason.contains(told) && refused.reason.contains("desert.dds"), qPrintable(refused.reason));
        QCOMPARE(snapshot(m_folder), before);
    }

    void aPaintOfAnotherShapeIsAppliedAndTold_data()
    {
        QTest::addColumn<QByteArray>("paint");
        QTest::addColumn<QString>("note");
        QTest::newRow("same shape") << TestGame::texture("fits") << QString();
        QTest::newRow("larger") << TestGame::texture("big", 8) << "The paint is 8 x 8 DXT1, the original 4 x 4 DXT1";
        QTest::newRow("other format") << TestGame::texture("dxt5", 4, "DXT5") << "4 x 4 DXT5, the original 4 x 4 DXT1";
    }

    void aPaintOfAnotherShapeIsAppliedAndTold()
    {
        QFETCH(QByteArray, paint);
        QFETCH(QString, note);
        QVERIFY(writeFile(m_folder + "desert.dds", paint));
        const PaintResult applied = m_hangar.apply(2);
        QVERIFY2(applied, qPrintable(applied.message()));
        QCOMPARE(readFile(m_folder + "P51_t.dds"), paint);
        QVERIFY2(note.isEmpty() ? applied.note.isEmpty() : applied.note.contains(note), qPrintable(applied.note));
    }
};

QTEST_GUILESS_MAIN(OriginalsTest)
#include "tst_Originals.moc"
