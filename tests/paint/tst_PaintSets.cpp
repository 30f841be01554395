#include "Hangar.h"
#include "PaintSetFile.h"
#include "PaintSetStore.h"
#include "TempTree.h"
#include "TestGame.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using TempTree::readFile;
using TempTree::writeFile;
using Kind = SetOutcome::Kind;

using TempTree::snapshot;

namespace {

QString kinds(const SetReport &report)
{
    QStringList lines;
    for (const SetOutcome &outcome : report.outcomes)
        lines << outcome.aircraft + u'=' + SetOutcome::kindName(outcome.kind);
    return lines.join(u", ");
}

PaintChoice choice(const QString &folder, const QString &paint = QString(), const QString &texture = QString())
{
    PaintChoice made;
    made.folder = folder;
    made.definition = folder;
    made.original = paint.isEmpty();
    made.paint = paint;
    made.textureFile = texture;
    return made;
}

// A stored set, empty when it cannot be read.
PaintSet stored(const PaintSetStore &store, const QString &name)
{
    PaintSet set;
    store.load(name, set);
    return set;
}

} // namespace

Q_DECLARE_METATYPE(PaintChoice)

// Paint sets through the hangar: a set names for each aircraft what it
// should wear, and applying it goes through the single apply, its rules and
// its questions included.
class PaintSetsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_game;
    Hangar m_hangar;

    QString folderOf(const QString &aircraft, const QString &game = QString()) const
    {
        return (game.isEmpty() ? m_game : game) + "Aircraft/" + aircraft + "/";
    }
    QByteArray mainTexture(const QString &aircraft, const QString &game = QString()) const
    {
        return readFile(folderOf(aircraft, game) + aircraft + "_t.dds");
    }
    void applyNamed(const QString &aircraft, int row)
    {
        QVERIFY(m_hangar.select(m_hangar.find(aircraft).constFirst()));
        const PaintResult applied = m_hangar.apply(row);
        QVERIFY2(applied, qPrintable(applied.message()));
    }
    Hangar scanned(const QString &game)
    {
        Hangar hangar(game);
        hangar.scan(Hangar::ListCreation::ReadOnly);
        return hangar;
    }

private slots:
    void init()
    {
        m_game = m_dir.filePath(QString("%1-%2/").arg(QTest::currentTestFunction(), QTest::currentDataTag()));
        TestGame::addP51AndZero(m_game);
        TestGame::addAircraft(m_game, "Spitfire", {{"Desert", "desert.dds"}, {"Malta", "malta.dds"}});
        m_hangar.setGameFolder(m_game);
        m_hangar.scan(Hangar::ListCreation::CreateMissing);
    }

    void savedSetPutsEveryAircraftBack()
    {
        applyNamed("P51", 3);      // Navy
        applyNamed("Spitfire", 3); // Malta
        SetReport saved;
        const PaintSet set = m_hangar.currentSet("Evening", {}, &saved);
        QCOMPARE(kinds(saved), "P51=listed, Spitfire=listed, Zero=listed");
        QCOMPARE(set.choices.size(), 3);
        QCOMPARE(set.choices.at(0).paint, "Navy");
        QCOMPARE(set.choices.at(0).textureFile, "navy.dds");
        QVERIFY(set.choices.at(2).original);

        applyNamed("P51", 2);      // Desert
        applyNamed("Spitfire", 1); // its original
        const SetReport applied = m_hangar.applySet(set);
        QCOMPARE(kinds(applied), "P51=applied, Spitfire=applied, Zero=already on");
        QCOMPARE(mainTexture("P51"), TestGame::texture("paint navy.dds"));
        QCOMPARE(mainTexture("Spitfire"), TestGame::texture("paint malta.dds"));
        QCOMPARE(mainTexture("Zero"), TestGame::texture("original Zero"));
        QVERIFY(!applied.hasProblems());

        // Applied twice, nothing is written the second time.
        const auto before = snapshot(m_game);
        QCOMPARE(kinds(m_hangar.applySet(set)), "P51=already on, Spitfire=already on, Zero=already on");
        QCOMPARE(snapshot(m_game), before);
        // The original is restored like any choice.
        QCOMPARE(kinds(m_hangar.applySet({"originals", {choice("P51")}})), "P51=applied");
        QCOMPARE(mainTexture("P51"), TestGame::texture("original P51"));
    }

    void onlyTheNamedAircraftAreSaved()
    {
        const PaintSet set = m_hangar.currentSet("Two", {m_hangar.find("Zero").constFirst(), m_hangar.find("P51").constFirst()});
        QCOMPARE(set.choices.size(), 2);
        QCOMPARE(set.choices.at(0).folder, "Zero");
        QCOMPARE(set.choices.at(1).folder, "P51");
        QVERIFY(set.choices.at(1).original);
    }

    void eachAircraftIsReportedOnItsOwn_data()
    {
        QTest::addColumn<PaintChoice>("chosen");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("told");
        QTest::newRow("applied") << choice("P51", "Arctic", "arctic.dds") << int(Kind::Applied) << "";
        QTest::newRow("aircraft in folder of another letter case") << choice("p51", "Arctic", "ARCTIC.DDS") << int(Kind::Applied) << "";
        QTest::newRow("missing aircraft") << choice("Hurricane", "Arctic", "arctic.dds") << int(Kind::MissingAircraft)
                                          << "no aircraft in a folder called \"Hurricane\"";
        QTest::newRow("missing paint") << choice("P51", "Jungle", "jungle.dds") << int(Kind::MissingPaint)
                                       << "no paint \"Jungle\"";
        // The name alone never picks a paint: the list may have been edited.
        QTest::newRow("same name, other file") << choice("P51", "Arctic", "desert.dds") << int(Kind::MissingPaint)
                                               << "no paint \"Arctic\" with the texture desert.dds";
        QTest::newRow("paint file gone") << choice("Spitfire", "Malta", "malta.dds") << int(Kind::Refused)
                                         << "could not be applied";
        QTest::newRow("original without a backup") << choice("Zero") << int(Kind::AlreadyOn) << "";
    }

    void eachAircraftIsReportedOnItsOwn()
    {
        QFETCH(PaintChoice, chosen);
        QFETCH(int, kind);
        QFETCH(QString, told);
        QVERIFY(QFile::remove(folderOf("Spitfire") + "malta.dds"));
        const QByteArray before = mainTexture(chosen.folder);
        // A neighbour in the same set is applied whatever befalls this one.
        const SetReport report = m_hangar.applySet({"mixed", {chosen, choice("Spitfire", "Desert", "desert.dds")}});
        QCOMPARE(report.outcomes.size(), 2);
        const SetOutcome &outcome = report.outcomes.first();
        QCOMPARE(int(outcome.kind), kind);
        QVERIFY2(outcome.result.reason.contains(told), qPrintable(outcome.line()));
        QCOMPARE(report.outcomes.last().kind, Kind::Applied);
        QCOMPARE(mainTexture("Spitfire"), TestGame::texture("paint desert.dds"));
        if (kind == int(Kind::Applied))
            QCOMPARE(mainTexture("P51"), TestGame::texture("paint arctic.dds"));
        else if (chosen.folder != "Spitfire")
            QCOMPARE(mainTexture(chosen.folder), before);
    }

    void changedOutsideIsAskedOnceAtTheEnd()
    {
        applyNamed("P51", 3);
        applyNamed("Spitfire", 3);
        const PaintSet set{"back", {choice("P51", "Desert", "desert.dds"), choice("Spitfire"), choice("Zero")}};
        // Two aircraft updated by their makers since.
        QVERIFY(writeFile(folderOf("P51") + "P51_t.dds", TestGame::texture("updated P51")));
        QVERIFY(writeFile(folderOf("Spitfire") + "Spitfire_t.dds", TestGame::texture("updated Spitfire")));
        const auto before = snapshot(m_game);

        SetReport left;
        QCOMPARE(m_hangar.currentSet("now", {}, &left).choices.size(), 1); // Zero alone
        QCOMPARE(left.questions().size(), 2);

        const SetReport refused = m_hangar.applySet(set);
        QCOMPARE(kinds(refused), "P51=refused, Spitfire=refused, Zero=already on");
        QCOMPARE(refused.questions().size(), 2);
        QCOMPARE(snapshot(m_game), before);

        const SetReport adopted = m_hangar.applySet(set, Hangar::ChangedOriginal::Adopt);
        QCOMPARE(kinds(adopted), "P51=applied, Spitfire=applied, Zero=already on");
        QVERIFY(adopted.questions().isEmpty());
        QCOMPARE(mainTexture("P51"), TestGame::texture("paint desert.dds"));
        // The updates are the originals now; the earlier ones stay as paints.
        QCOMPARE(mainTexture("Spitfire"), TestGame::texture("updated Spitfire"));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds.bak"), TestGame::texture("updated P51"));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds.bak.1"), TestGame::texture("original P51"));
    }

    void restoreAllPutsBackEveryOriginal()
    {
        QVERIFY(m_hangar.aircraftToRestore().isEmpty());
        applyNamed("P51", 4);
        applyNamed("Spitfire", 2);
        applyNamed("Spitfire", 1); // back on its original, but with a backup
        QCOMPARE(m_hangar.aircraftToRestore(), QList<int>{m_hangar.find("P51").constFirst()});
        applyNamed("Spitfire", 3);
        QCOMPARE(m_hangar.aircraftToRestore().size(), 2);

        const QList<Hangar::RestoreOutcome> restored = m_hangar.restoreAll(m_hangar.aircraftToRestore());
        QCOMPARE(restored.size(), 2);
        for (const Hangar::RestoreOutcome &outcome : restored)
            QCOMPARE(outcome.kind, Hangar::RestoreOutcome::Restored);
        for (const char *aircraft : {"P51", "Spitfire", "Zero"})
            QCOMPARE(mainTexture(aircraft), TestGame::texture(QByteArray("original ") + aircraft));
        QVERIFY(m_hangar.aircraftToRestore().isEmpty());
    }

    // Both long operations on many aircraft tell each aircraft before it is
    // handled and stop between two when cancelled, leaving the rest as
    // they were; the one under way is finished.
    void aCancelStopsBetweenTwoAircraft_data()
    {
        QTest::addColumn<bool>("throughASet");
        QTest::addColumn<int>("cancelWhile"); // the aircraft under way when Cancel comes; -1 never
        for (const bool throughASet : {false, true}) {
            const char *how = throughASet ? "set" : "restore all";
            QTest::addRow("%s, never cancelled", how) << throughASet << -1;
            QTest::addRow("%s, cancelled on the first", how) << throughASet << 0;
            QTest::addRow("%s, cancelled on the second", how) << throughASet << 1;
            QTest::addRow("%s, cancelled on the last", how) << throughASet << 2;
        }
    }

    void aCancelStopsBetweenTwoAircraft()
    {
        QFETCH(bool, throughASet);
        QFETCH(int, cancelWhile);
        TestGame::addAircraft(m_game, "Corsair", {{"Pacific", "pacific.dds"}});
        m_hangar.scan(Hangar::ListCreation::CreateMissing);
        const QStringList order{"Spitfire", "P51", "Corsair"};
        QList<int> indices;
        PaintSet originals{"originals", {}};
        for (const QString &aircraft : order) {
            applyNamed(aircraft, 2);
            indices << m_hangar.find(aircraft).constFirst();
            originals.choices << choice(aircraft);
        }
        const QByteArray worn[] = {TestGame::texture("paint desert.dds"), TestGame::texture("paint desert.dds"),
                                   TestGame::texture("paint pacific.dds")};

        WorkProgress progress;
        QStringList told;
        progress.report = [&](int done, int total, const QString &current) {
            told << QString("%1/%2 %3").arg(done).arg(total).arg(current);
            if (done == cancelWhile)
                progress.cancelled = true;
        };
        const qsizetype handled = throughASet ? m_hangar.applySet(originals, Hangar::ChangedOriginal::Refuse, &progress)
                                                    .count(Kind::Applied)
                                              : m_hangar.restoreAll(indices, Hangar::ChangedOriginal::Refuse, &progress)
                                                    .size();
        const int expected = cancelWhile < 0 ? 3 : cancelWhile + 1;
        QCOMPARE(handled, expected);
        QStringList expectedTold;
        for (int i = 0; i < expected; ++i)
            expectedTold << QString("%1/3 %2").arg(i).arg(order.at(i));
        QCOMPARE(told, expectedTold);
        for (int i = 0; i < order.size(); ++i) {
            const QByteArray now = mainTexture(order.at(i));
            QCOMPARE(now, i < expected ? TestGame::texture("original " + order.at(i).toLatin1()) : worn[i]);
        }
    }

    // A set saved on one game folder, exported, and imported into another
    // with the same aircraft and paints puts the same paints on there, even
    // where that player's list names them otherwise; what is not there is
    // told, never guessed.
    void sharedSetAppliesTheSamePaintsOnAnotherMachine()
    {
        applyNamed("P51", 3);      // Navy
        applyNamed("Spitfire", 3); // Malta
        SetReport saved;
        PaintSetStore mine(m_dir.filePath("mine/"));
        QVERIFY(mine.save(m_hangar.currentSet("Squadron", {}, &saved)));
        QVERIFY(!saved.hasProblems());

        SetReport hashed;
        const PaintSet shared = m_hangar.shareable(stored(mine, "Squadron"), &hashed);
        QVERIFY2(!hashed.hasProblems(), qPrintable(kinds(hashed)));
        const QString file = m_dir.filePath("squadron.json");
        QVERIFY(PaintSetStore::exportTo(shared, file));

        // The other player: the same P51 paints under other names, a
        // Spitfire whose "Malta" is another paint, and no Zero.
        const QString other = m_dir.filePath("other/");
        TestGame::addAircraft(other, "P51", {{"Blue", "blue.dds"}, {"Sand", "sand.dds"}});
        QVERIFY(writeFile(folderOf("P51", other) + "blue.dds", TestGame::texture("paint navy.dds")));
        TestGame::addAircraft(other, "Spitfire", {{"Malta", "malta.dds"}});
        QVERIFY(writeFile(folderOf("Spitfire", other) + "malta.dds", TestGame::texture("paint malta, another squadron")));
        Hangar there = scanned(other);

        PaintSet received;
        const PaintResult read = PaintSetFile::read(file, received);
        QVERIFY2(read, qPrintable(read.line()));
        SetReport matched;
        PaintSet imported = there.matchHere(received, &matched);
        QCOMPARE(kinds(matched), "P51=listed, Spitfire=missing paint, Zero=missing aircraft");
        QVERIFY(matched.outcomes.at(1).result.reason.contains("another texture"));
        QCOMPARE(imported.choices.at(0).paint, "Blue");
        QCOMPARE(imported.choices.at(0).textureFile, "blue.dds");

        PaintSetStore theirs(m_dir.filePath("theirs/"));
        QVERIFY(theirs.add(imported));
        const SetReport applied = there.applySet(stored(theirs, "Squadron"));
        QCOMPARE(kinds(applied), "P51=applied, Spitfire=missing paint, Zero=missing aircraft");
        QCOMPARE(mainTexture("P51", other), mainTexture("P51"));
        QCOMPARE(mainTexture("Spitfire", other), TestGame::texture("original Spitfire"));

        // Once that player has the squadron's Malta, under any name, the
        // same stored set finds it by content.
        QVERIFY(writeFile(folderOf("Spitfire", other) + "malta2.dds", TestGame::texture("paint malta.dds")));
        QVERIFY(there.select(there.find("Spitfire").constFirst()));
        QVERIFY(there.add("Malta (squadron)", "malta2.dds"));
        QCOMPARE(kinds(there.applySet(stored(theirs, "Squadron"))),
                 "P51=already on, Spitfire=applied, Zero=missing aircraft");
        QCOMPARE(mainTexture("Spitfire", other), TestGame::texture("paint malta.dds"));
    }
};

QTEST_GUILESS_MAIN(PaintSetsTest)
#include "tst_PaintSets.moc"
