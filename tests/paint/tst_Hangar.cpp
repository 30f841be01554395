#include "AircraftLock.h"
#include "FaultInjection.h"
#include "Hangar.h"
#include "PaintListFile.h"
#include "TempTree.h"
#include "TestGame.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using TempTree::readFile;
using TempTree::snapshot;
using TempTree::writeFile;

class HangarTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_game;
    Hangar m_hangar;

    // As the program gives it: in the system's separators.
    QString folderOf(const QString &aircraft) const { return QDir::toNativeSeparators(m_game + "Aircraft/" + aircraft + "/"); }

    int selectAircraft(const QString &name)
    {
        const QList<int> found = m_hangar.find(name);
        if (found.size() != 1 || !m_hangar.select(found.first()))
            return -1;
        return found.first();
    }

private slots:
    void init()
    {
        m_game = m_dir.filePath(QString("%1/").arg(QTest::currentTestFunction()));
        TestGame::addP51AndZero(m_game);
        m_hangar.setGameFolder(m_game);
        m_hangar.scan(Hangar::ListCreation::CreateMissing);
    }

    void selectingReadsOnlyAndTheOriginalIsKeptOnce()
    {
        QVERIFY(selectAircraft("P51") >= 0);
        QCOMPARE(m_hangar.paintTable().rowCount(), 6);
        QVERIFY(!QFile::exists(folderOf("P51") + "P51_t.dds.bak"));

        QVERIFY(m_hangar.keepOriginal());
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds.bak"), TestGame::texture("original P51"));
        writeFile(folderOf("P51") + "P51_t.dds", "changed");
        QVERIFY(m_hangar.keepOriginal());
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds.bak"), TestGame::texture("original P51"));

        QVERIFY(selectAircraft("Zero") >= 0); // no paints: nothing to keep
        QVERIFY(m_hangar.keepOriginal());
        QVERIFY(!QFile::exists(folderOf("Zero") + "Zero_t.dds.bak"));
    }

    void theBackupKeepsTheNameTheListGives()
    {
        QVERIFY(QFile::rename(folderOf("P51") + "P51_t.dds", folderOf("P51") + "P51_T.DDS"));
        QVERIFY(selectAircraft("P51") >= 0);
        QVERIFY(m_hangar.keepOriginal());
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds.bak"), TestGame::texture("original P51"));
    }

    void applyingAndRestoring()
    {
        QVERIFY(selectAircraft("P51") >= 0);
        QVERIFY(!m_hangar.restore()); // no backup yet
        QCOMPARE(m_hangar.installedRow(), std::nullopt);
        QVERIFY(m_hangar.apply(3));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("paint navy.dds"));
        QCOMPARE(m_hangar.installedRow(), 3);
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds.bak"), TestGame::texture("original P51"));
        QVERIFY(m_hangar.hasBackup());
        QVERIFY(m_hangar.restore());
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("original P51"));
        QCOMPARE(m_hangar.installedRow(), PaintTable::DefaultRow);
        QVERIFY(!m_hangar.apply(PaintTable::InstalledRow));
        QVERIFY(!m_hangar.apply(6));
    }

    void aFailedApplyNamesTheFileAndLeavesTheTexture()
    {
        QVERIFY(selectAircraft("P51") >= 0);
        QVERIFY(QFile::remove(folderOf("P51") + "racer.dds"));
        const PaintResult applied = m_hangar.apply(5);
        QVERIFY(!applied);
        QVERIFY2(applied.message().contains("racer.dds"), qPrintable(applied.message()));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("original P51"));
    }

    void aListWithoutMainTextureRefusesToApplyUntilOneIsNamed()
    {
        writeFile(folderOf("P51") + "P51.pnt", TestGame::paintList("P51", "", {{"Desert", "desert.dds"}}));
        QVERIFY(selectAircraft("P51") >= 0);
        QCOMPARE(m_hangar.paintTable().mainTexturePath(), QString()); // not the folder
        const PaintResult applied = m_hangar.apply(2);
        QVERIFY(!applied);
        QVERIFY2(applied.message().contains("names no main texture"), qPrintable(applied.message()));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("original P51"));

        QVERIFY(!m_hangar.setMainTexture("bad\nname.dds"));
        QVERIFY(m_hangar.setMainTexture(m_dir.filePath("elsewhere/P51_t.dds")));
        QCOMPARE(readFile(folderOf("P51") + "P51.pnt"),
                 TestGame::paintList("P51", "P51_t.dds", {{"Desert", "desert.dds"}}));
        QVERIFY(m_hangar.apply(2));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("paint desert.dds"));
    }

    void addingRewritesTheListWithOnlyTheFileName()
    {
        QVERIFY(selectAircraft("Zero") >= 0);
        writeFile(folderOf("Zero") + "green.dds", TestGame::texture("paint green"));
        QVERIFY(m_hangar.add("Green Machine", m_dir.filePath("elsewhere/green.dds")));
        QCOMPARE(readFile(folderOf("Zero") + "Zero.pnt"),
                 TestGame::paintList("Zero", "Zero_t.dds", {{"Green Machine", "green.dds"}}));
        QCOMPARE(m_hangar.paintTable().texturePath(2), folderOf("Zero") + "green.dds");
        QVERIFY(m_hangar.keepOriginal()); // the first paint brings the backup
        QCOMPARE(readFile(folderOf("Zero") + "Zero_t.dds.bak"), TestGame::texture("original Zero"));
        QVERIFY(m_hangar.add("", "empty.dds")); // an empty name is a name
        QCOMPARE(m_hangar.paintTable().displayText(3), QString());
    }

    void valuesThatWouldCorruptTheListAreRefused_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("file");
        QTest::newRow("comment name") << QByteArray(";x") << "x.dds";
        QTest::newRow("end name") << QByteArray("#x") << "x.dds";
        QTest::newRow("line break") << QByteArray("a\nb") << "x.dds";
        QTest::newRow("comment file") << QByteArray("X") << ";x.dds";
    }

    void valuesThatWouldCorruptTheListAreRefused()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, file);
        QVERIFY(selectAircraft("P51") >= 0);
        const QByteArray before = readFile(folderOf("P51") + "P51.pnt");
        QVERIFY(!m_hangar.add(name, file));
        QCOMPARE(readFile(folderOf("P51") + "P51.pnt"), before);
        QCOMPARE(m_hangar.paintTable().rowCount(), 6);
    }

    // The player's add, from a file anywhere: every refusal comes before a
    // byte is written, so the folder and the list stay as they were.
    void aRefusedAddLeavesNothingBehind_data()
    {
        QTest::addColumn<QString>("aircraft");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("file"); // under the download folder
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("copyName");
        QTest::addColumn<QString>("told");
        const QByteArray dds = TestGame::texture("new paint");
        QTest::newRow("comment name") << "P51" << QByteArray(";Sunset") << "sunset.dds" << dds << "" << "cannot begin";
        QTest::newRow("end name") << "P51" << QByteArray("#Sunset") << "sunset.dds" << dds << "" << "cannot begin";
        QTest::newRow("line break in name") << "P51" << QByteArray("Sun\nset") << "sunset.dds" << dds << "" << "line break";
        QTest::newRow("end file name") << "P51" << QByteArray("Camo") << "#camo.dds" << dds << "" << "cannot begin";
        QTest::newRow("comment file name") << "P51" << QByteArray("Camo") << ";camo.dds" << dds << "" << "cannot begin";
        QTest::newRow("device file name") << "P51" << QByteArray("Camo") << "nul.dds" << dds << "" << "device";
        QTest::newRow("missing main texture's name") << "Zero" << QByteArray("Camo") << "Zero_t.dds" << dds << "" << "main texture";
        QTest::newRow("in another letter case") << "Zero" << QByteArray("Camo") << "ZERO_T.DDS" << dds << "" << "main texture";
        QTest::newRow("copy under the backup's name") << "P51" << QByteArray("Camo") << "camo.dds" << dds << "p51_T.dds.bak" << "its backup";
        QTest::newRow("missing file") << "P51" << QByteArray("Camo") << "" << QByteArray() << "" << "does not exist";
        QTest::newRow("no texture") << "P51" << QByteArray("Camo") << "readme.dds" << QByteArray("thanks!") << "" << "not copied";
        QTest::newRow("copy name with a folder") << "P51" << QByteArray("Camo") << "camo.dds" << dds << "../camo.dds" << "file name";
        QTest::newRow("empty copy name") << "P51" << QByteArray("Camo") << "camo.dds" << dds << "<empty>" << "file name";
        QTest::newRow("copy name of the main texture") << "P51" << QByteArray("Camo") << "camo.dds" << dds << "P51_t.dds" << "main texture";
    }

    void aRefusedAddLeavesNothingBehind()
    {
        QFETCH(QString, aircraft);
        QFETCH(QByteArray, name);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, copyName);
        QFETCH(QString, told);
        QVERIFY(QFile::remove(folderOf("Zero") + "Zero_t.dds"));
        const QString picked = m_dir.filePath(QString("download-%1/%2").arg(QTest::currentDataTag(), file.isEmpty() ? "absent.dds" : file));
#ifdef Q_OS_WIN
        if (file == "nul.dds")
            QSKIP("Windows holds no file of a device's name");
#endif
        if (!file.isEmpty())
            QVERIFY(writeFile(picked, content));
        QVERIFY(selectAircraft(aircraft) >= 0);
        const auto before = snapshot(m_game);
        const int rows = m_hangar.paintTable().rowCount();

        const PaintResult added = copyName.isEmpty() ? m_hangar.addPaint(name, picked)
                                  : m_hangar.addPaint(name, picked, copyName == "<empty>" ? QString() : copyName);
        QVERIFY(!added);
        QVERIFY2(added.reason.contains(told), qPrintable(added.reason));
        QCOMPARE(snapshot(m_game), before);
        QCOMPARE(m_hangar.paintTable().rowCount(), rows);
    }

    void addingBringsTheFileInSavesAndKeepsTheOriginal()
    {
        QVERIFY(selectAircraft("Zero") >= 0);
        const QString download = m_dir.filePath("download/desert.dds");
        QVERIFY(writeFile(download, TestGame::texture("another desert")));
        PaintResult added = m_hangar.addPaint("Sand", download);
        QVERIFY2(added, qPrintable(added.reason));
        QCOMPARE(added.file, folderOf("Zero") + "desert.dds");
        QCOMPARE(readFile(folderOf("Zero") + "desert.dds"), TestGame::texture("another desert"));
        QCOMPARE(readFile(folderOf("Zero") + "Zero.pnt"), TestGame::paintList("Zero", "Zero_t.dds", {{"Sand", "desert.dds"}}));
        QCOMPARE(readFile(folderOf("Zero") + "Zero_t.dds.bak"), TestGame::texture("original Zero"));

        // P51's desert.dds is another file: its name is taken, and one free
        // beside it is offered; under that name the copy goes ahead.
        QVERIFY(selectAircraft("P51") >= 0);
        added = m_hangar.addPaint("Sand", download);
        QVERIFY(!added && added.nameTaken);
        QCOMPARE(added.freeName, QString("desert (2).dds"));
        QCOMPARE(readFile(folderOf("P51") + "desert.dds"), TestGame::texture("paint desert.dds"));
        QVERIFY(m_hangar.addPaint("Sand", download, added.freeName));
        QCOMPARE(readFile(folderOf("P51") + "desert (2).dds"), TestGame::texture("another desert"));
        QCOMPARE(m_hangar.paintTable().texturePath(6), folderOf("P51") + "desert (2).dds");

        // A file of the folder is used where it is.
        QVERIFY(m_hangar.addPaint("Navy again", folderOf("P51") + "navy.dds"));
        QCOMPARE(m_hangar.paintTable().rowCount(), 8);
    }

    void aFailedSaveTakesTheCopyBackOut()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has no file size limit to make the disk seem full");
#else
        QVERIFY(selectAircraft("P51") >= 0);
        const QString download = m_dir.filePath("download/tiny.dds");
        QVERIFY(writeFile(download, "DDS tiny"));
        const QByteArray before = readFile(folderOf("P51") + "P51.pnt");
        PaintResult added;
        {
            AircraftLock held(folderOf("P51"));
            QVERIFY(held.acquire());
            FaultInjection::FileSizeLimit diskFull(40); // room for the texture, not the list
            added = m_hangar.addPaint("Tiny", download);
        }
        QVERIFY(!added);
        QVERIFY2(added.reason.contains("Nothing was added"), qPrintable(added.reason));
        QCOMPARE(readFile(folderOf("P51") + "P51.pnt"), before);
        QVERIFY(!QFile::exists(folderOf("P51") + "tiny.dds"));
#endif
    }

    // Opening an aircraft to work on it: the list written when missing,
    // loaded, and the original kept once there is a paint.
    void openingCreatesLoadsAndKeepsTheOriginal()
    {
        TestGame::addAircraft(m_game, "Spit", {});
        QVERIFY(QFile::remove(folderOf("Spit") + "Spit.pnt"));
        Hangar hangar(m_game);
        hangar.scan(Hangar::ListCreation::ReadOnly);
        const int spit = hangar.find("Spit").value(0, -1);
        const int p51 = hangar.find("P51").value(0, -1);
        QVERIFY(hangar.open(spit, Hangar::ListCreation::ReadOnly));
        QVERIFY(!QFile::exists(folderOf("Spit") + "Spit.pnt"));
        QVERIFY(hangar.open(spit, Hangar::ListCreation::CreateMissing));
        QCOMPARE(readFile(folderOf("Spit") + "Spit.pnt"), PaintListFile::initialForm("Spit", "Spit_t.dds"));
        QCOMPARE(hangar.selectedIndex(), spit);
        QVERIFY(!QFile::exists(folderOf("Spit") + "Spit_t.dds.bak")); // no paint, no backup

        QVERIFY(hangar.open(p51, Hangar::ListCreation::CreateMissing));
        QCOMPARE(hangar.paintTable().rowCount(), 6);
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds.bak"), TestGame::texture("original P51"));
        QCOMPARE(hangar.installedLabel(), QString("original"));
        QVERIFY(hangar.apply(3));
        QCOMPARE(hangar.installedLabel(), QString("Navy"));
    }

    void removingDropsTheEntryButNotTheFile()
    {
        QVERIFY(selectAircraft("P51") >= 0);
        QVERIFY(!m_hangar.remove(PaintTable::DefaultRow));
        QVERIFY(m_hangar.remove(3));
        QCOMPARE(readFile(folderOf("P51") + "P51.pnt"),
                 TestGame::paintList("P51", "P51_t.dds", {{"Desert", "desert.dds"}, {"Arctic", "arctic.dds"}, {"Racer", "racer.dds"}}));
        QVERIFY(QFile::exists(folderOf("P51") + "navy.dds"));
    }

    void aFailedSaveShowsWhatTheFileHolds()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has no file size limit to make the disk seem full");
#else
        QVERIFY(selectAircraft("P51") >= 0);
        const QByteArray before = readFile(folderOf("P51") + "P51.pnt");
        PaintResult removed;
        {
            // Taken before the disk fills, so the list's write is what fails.
            AircraftLock held(folderOf("P51"));
            QVERIFY(held.acquire());
            FaultInjection::FileSizeLimit diskFull(40);
            removed = m_hangar.remove(2);
        }
        QVERIFY(!removed);
        QVERIFY2(removed.file.endsWith("P51.pnt"), qPrintable(removed.file));
        QCOMPARE(readFile(folderOf("P51") + "P51.pnt"), before);
        QCOMPARE(m_hangar.paintTable().rowCount(), 6);
#endif
    }

    void anUnreadableListSelectsNothing()
    {
        QVERIFY(selectAircraft("P51") >= 0);
        QVERIFY(QFile::remove(folderOf("Zero") + "Zero.pnt"));
        QVERIFY(QDir().mkpath(folderOf("Zero") + "Zero.pnt"));
        QVERIFY(!m_hangar.select(m_hangar.find("Zero").first()));
        QVERIFY(!m_hangar.hasSelection());
        QCOMPARE(m_hangar.paintTable().rowCount(), 0);
        QVERIFY(!m_hangar.add("X", "x.dds"));
        QVERIFY(QFileInfo(folderOf("Zero") + "Zero.pnt").isDir());
    }

    void aReadOnlyScanWritesNothing()
    {
        TestGame::addAircraft(m_game, "Spit", {});
        QVERIFY(QFile::remove(folderOf("Spit") + "Spit.pnt"));
        const auto before = snapshot(m_game);
        Hangar hangar(m_game);
        hangar.scan(Hangar::ListCreation::ReadOnly);
        const int spit = hangar.find("spit").value(0, -1);
        QVERIFY(spit >= 0);
        QVERIFY(!hangar.aircraft().at(spit).hasPaintList);
        QVERIFY(hangar.select(spit));
        QCOMPARE(hangar.paintTable().texturePath(0), folderOf("Spit") + "Spit_t.dds");
        for (int index = 0; index < hangar.aircraft().size(); ++index)
            hangar.check(index);
        QCOMPARE(snapshot(m_game), before);

        // Creating the list is a step of its own, for this aircraft only.
        QVERIFY(hangar.createPaintList(spit));
        QCOMPARE(readFile(folderOf("Spit") + "Spit.pnt"), PaintListFile::initialForm("Spit", "Spit_t.dds"));
    }

    void aircraftAreFoundByFolderDefinitionOrTitleInAnyCase()
    {
        TestGame::addAircraft(m_game, "Bf109", {});
        writeFile(folderOf("Bf109") + "Bf109.pnt", TestGame::paintList("Messerschmitt", "Bf109_t.dds", {}));
        writeFile(folderOf("Bf109") + "Emil.xdp", "<aircraft/>"); // a second aircraft in the folder
        writeFile(folderOf("Bf109") + "Emil.pnt", TestGame::paintList("Zero", "Emil_t.dds", {}));
        m_hangar.scan(Hangar::ListCreation::ReadOnly);
        auto titles = [this](const QString &name) {
            QStringList found;
            for (int index : m_hangar.find(name))
                found << m_hangar.aircraft().at(index).title;
            return found;
        };
        QCOMPARE(titles("messerschmitt"), QStringList{"Messerschmitt"});
        QCOMPARE(titles("EMIL"), QStringList{"Zero"});
        QCOMPARE(titles("bf109").size(), 2); // the folder holds both
        QCOMPARE(titles("zero").size(), 2);  // one by its folder, one by its title
        QVERIFY(titles("Spitfire").isEmpty());
    }
};

QTEST_GUILESS_MAIN(HangarTest)
#include "tst_Hangar.moc"
