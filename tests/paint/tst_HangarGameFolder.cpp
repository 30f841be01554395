#include "Hangar.h"
#include "TempTree.h"
#include "TestGame.h"

#include <QTemporaryDir>
#include <QtTest>

using TempTree::writeFile;

class HangarGameFolderTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A fresh folder per row, laid out from a list of entries: "x/" is a
    // folder, anything else a file.
    QString layOut(const QStringList &entries)
    {
        const QString root = m_dir.filePath(QString("%1-%2/").arg(QTest::currentTestFunction(), QTest::currentDataTag()));
        QDir().mkpath(root);
        for (const QString &entry : entries) {
            if (entry.endsWith('/'))
                QDir().mkpath(root + entry);
            else
                writeFile(root + entry, "MZ");
        }
        return root;
    }

private slots:
    void theGameFolderIsTakenAsThePlayerMeantIt_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("picked");   // under the row's folder; "<none>" for nothing
        QTest::addColumn<QString>("expected"); // the game folder taken, or "" for a refusal
        QTest::addColumn<QString>("told");
        const QStringList game{"CFS3/cfs3.exe", "CFS3/Aircraft/"};
        QTest::newRow("nothing given") << game << "<none>" << "" << "No game folder";
        QTest::newRow("no such folder") << game << "CF3" << "" << "no such";
        QTest::newRow("no Aircraft folder") << QStringList{"CF3/readme.txt"} << "CF3" << "" << "holds no Aircraft";
        QTest::newRow("cfs3.exe without Aircraft") << QStringList{"CF3/cfs3.exe"} << "CF3/cfs3.exe" << "" << "holds no Aircraft";
        QTest::newRow("an Aircraft file, not folder") << QStringList{"CF3/Aircraft"} << "CF3" << "" << "holds no Aircraft";
        QTest::newRow("the game folder") << game << "CFS3" << "CFS3/" << "";
        QTest::newRow("with its separator") << game << "CFS3/" << "CFS3/" << "";
        QTest::newRow("cfs3.exe") << game << "CFS3/cfs3.exe" << "CFS3/" << "";
        QTest::newRow("the Aircraft folder") << game << "CFS3/Aircraft" << "CFS3/" << "";
#ifndef Q_OS_WIN
        // On Windows the letter case never differs; here the game's files
        // behave as there.
        QTest::newRow("AIRCRAFT") << QStringList{"CFS3/AIRCRAFT/"} << "CFS3" << "CFS3/" << "";
        QTest::newRow("aircraft") << QStringList{"CFS3/aircraft/"} << "CFS3" << "CFS3/" << "";
        QTest::newRow("pointing at AIRCRAFT") << QStringList{"CFS3/AIRCRAFT/"} << "CFS3/AIRCRAFT/" << "CFS3/" << "";
        QTest::newRow("CFS3.EXE beside AirCraft") << QStringList{"CFS3/CFS3.EXE", "CFS3/AirCraft/"} << "CFS3/CFS3.EXE"
                                                  << "CFS3/" << "";
#endif
    }

    void theGameFolderIsTakenAsThePlayerMeantIt()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, picked);
        QFETCH(QString, expected);
        QFETCH(QString, told);
        const QString root = layOut(entries);
        const QString previous = layOut({"Before/Aircraft/"}) + "Before/";
        TestGame::addAircraft(previous, "P51", {});
        Hangar hangar(previous);
        hangar.scan(Hangar::ListCreation::ReadOnly);

        const PaintResult chosen = hangar.chooseGameFolder(picked == "<none>" ? QString() : root + picked);
        if (expected.isEmpty()) {
            QVERIFY(!chosen);
            QVERIFY2(chosen.reason.contains(told), qPrintable(chosen.reason));
            // A refusal changes nothing: the old folder and its aircraft stay.
            QCOMPARE(hangar.gameFolder(), QDir::toNativeSeparators(previous));
            QCOMPARE(hangar.aircraft().size(), 1);
        } else {
            QVERIFY2(chosen, qPrintable(chosen.line()));
            QCOMPARE(chosen.file, QDir::toNativeSeparators(root + expected));
            QCOMPARE(hangar.gameFolder(), QDir::toNativeSeparators(root + expected));
        }
    }

    // Without a game folder nothing is looked for, least of all an
    // "Aircraft" folder of wherever the program was started.
    void noGameFolderScansNothingAndWritesNothing()
    {
        const QString here = layOut({});
        TestGame::addAircraft(here, "P51", {});
        QVERIFY(QFile::remove(here + "Aircraft/P51/P51.pnt"));
        const QString started = QDir::currentPath();
        QVERIFY(QDir::setCurrent(here));
        Hangar hangar;
        hangar.scan(Hangar::ListCreation::CreateMissing);
        QDir::setCurrent(started);
        QCOMPARE(hangar.aircraftFolder(), QString());
        QVERIFY(hangar.aircraft().isEmpty());
        QVERIFY(!QFile::exists(here + "Aircraft/P51/P51.pnt"));
    }

    // One scan tells of every list it left out, with the reason it found,
    // however the Aircraft folder is spelled.
    void theScanReportNamesEachListLeftOut_data()
    {
        QTest::addColumn<QString>("aircraftFolder");
        QTest::newRow("Aircraft") << "Aircraft";
#ifndef Q_OS_WIN
        QTest::newRow("AIRCRAFT") << "AIRCRAFT";
        QTest::newRow("aircraft") << "aircraft";
#endif
    }

    void theScanReportNamesEachListLeftOut()
    {
        QFETCH(QString, aircraftFolder);
        const QString game = layOut({});
        const QString folder = game + aircraftFolder + "/";
        writeFile(folder + "P51/P51.xdp", "<aircraft/>");
        writeFile(folder + "P51/P51.pnt", TestGame::paintList("P51", "P51_t.dds", {}));
        writeFile(folder + "Broken/Broken.xdp", "<aircraft/>");
        writeFile(folder + "Broken/Broken.pnt", ";only a comment\r\n");
        writeFile(folder + "Ended/Ended.xdp", "<aircraft/>");
        writeFile(folder + "Ended/Ended.pnt", "## end first\r\nTitle\r\n");
        writeFile(folder + "Odd/Odd.xdp", "<aircraft/>");
        QVERIFY(QDir().mkpath(folder + "Odd/Odd.pnt"));

        for (const auto creation : {Hangar::ListCreation::ReadOnly, Hangar::ListCreation::CreateMissing}) {
            Hangar hangar(game);
            hangar.scan(creation);
            QCOMPARE(hangar.aircraft().size(), 1);
            QMap<QString, QString> told;
            for (const PaintResult &problem : hangar.scanReport())
                told.insert(QFileInfo(problem.file).fileName(), problem.reason);
            QCOMPARE(told.keys(), (QStringList{"Broken.pnt", "Ended.pnt", "Odd.pnt"}));
            QVERIFY2(told["Broken.pnt"].contains("has no title line"), qPrintable(told["Broken.pnt"]));
            QVERIFY2(told["Ended.pnt"].contains("has no title line"), qPrintable(told["Ended.pnt"]));
            QVERIFY2(told["Odd.pnt"].contains("is not a regular file"), qPrintable(told["Odd.pnt"]));
        }
    }
};

QTEST_GUILESS_MAIN(HangarGameFolderTest)
#include "tst_HangarGameFolder.moc"
