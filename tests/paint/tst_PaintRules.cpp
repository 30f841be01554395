#include "LoadedLists.h"
#include "FaultInjection.h"
#include "PaintApply.h"
#include "PaintListFile.h"
#include "PaintArchive.h"
#include "PaintRules.h"
#include "PaintTable.h"
#include "TempTree.h"
#include "TestGame.h"

#include <QTemporaryDir>
#include <QtTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using TempTree::readFile;
using TempTree::writeFile;

class PaintRulesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // A P51 with two paints, loaded as the main window would.
    PaintTable loadP51(const QString &game)
    {
        const QString folder = TestGame::addAircraft(game, "P51", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"}});
        PaintTable table = *loadedTable(folder + "P51.pnt");
        ensureBackup(table);
        return table;
    }

private slots:
    void textureValuesMustStayInTheAircraftFolder_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("inside");
        QTest::newRow("file") << QByteArray("p51_t.dds") << true;
        QTest::newRow("subfolder") << QByteArray("paints\\desert.dds") << true;
        QTest::newRow("dots in a name") << QByteArray("my..paint.dds") << true;
        QTest::newRow("empty") << QByteArray("") << true;
        QTest::newRow("absolute") << QByteArray("/etc/passwd") << false;
        QTest::newRow("root backslash") << QByteArray("\\Windows\\x.dds") << false;
        QTest::newRow("drive letter") << QByteArray("C:\\Windows\\x.dds") << false;
        QTest::newRow("drive relative") << QByteArray("c:x.dds") << false;
        QTest::newRow("parent") << QByteArray("../other/x.dds") << false;
        QTest::newRow("parent inside") << QByteArray("paints\\..\\..\\x.dds") << false;
    }
    // List values and archive entries are held to the one rule.
    void textureValuesMustStayInTheAircraftFolder()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, inside);
        QCOMPARE(PaintRules::staysInAircraftFolder(value), inside);
        QCOMPARE(PaintArchive::problemWithEntryPath(QString::fromLatin1(value)).isEmpty(), inside);
    }

    void namesThatWouldCorruptTheListAreRefused()
    {
        QVERIFY(PaintRules::problemWithName("").isEmpty());
        QVERIFY(PaintRules::problemWithName("Desert; 1943 #2").isEmpty());
        QVERIFY(PaintRules::problemWithName(QByteArray(253, 'a')).isEmpty());
        QVERIFY(!PaintRules::problemWithName(";comment").isEmpty());
        QVERIFY(!PaintRules::problemWithName("#end").isEmpty());
        QVERIFY(!PaintRules::problemWithName("two\nlines").isEmpty());
        QVERIFY(!PaintRules::problemWithName("two\rlines").isEmpty());
        QVERIFY(!PaintRules::problemWithName(QByteArray(254, 'a')).isEmpty());
        QVERIFY(!PaintRules::problemWithFileName("#navy.dds").isEmpty());
    }

    void namesWindowsCannotHoldAreRefused_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("refused");
        for (const char *device : {"CON.dds", "con.DDS", "PRN.png", "AUX.dds", "NUL.tga", "nul", "COM1.dds",
                                   "com9.dds", "LPT1.dds", "LPT9.bmp", "NUL.tar.dds", "NUL .dds"})
            QTest::newRow(device) << QString(device) << true;
        QTest::newRow("ends in a dot") << "red.dds." << true;
        QTest::newRow("ends in a space") << "red.dds " << true;
        QTest::newRow("COM0") << "COM0.dds" << false;
        QTest::newRow("COM10") << "COM10.dds" << false;
        QTest::newRow("device as a prefix") << "CONCORDE.dds" << false;
        QTest::newRow("device after a dot") << "red.con.dds" << false;
        QTest::newRow("plain") << "red.dds" << false;
    }

    void namesWindowsCannotHoldAreRefused()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, refused);
        QCOMPARE(!PaintRules::problemWithWindowsName(fileName).isEmpty(), refused);
        // A picked file goes by the same rule.
        QCOMPARE(!PaintRules::problemWithFileName(fileName.toUtf8()).isEmpty(), refused);
    }

    // The rules and the reader must agree: a name is accepted exactly when
    // the list reads it back in its place.
    void acceptedNamesReadBackUnchanged()
    {
        const QString list = m_dir.filePath("roundtrip.pnt");
        for (const QByteArray &name : {QByteArray(253, 'n'), QByteArray(254, 'n'), QByteArray(300, 'n'),
                                       QByteArray(";x"), QByteArray("#x"), QByteArray("a\nb"), QByteArray("")}) {
            QVERIFY(PaintListFile::writeBytes(list, PaintListFile::fullForm("T", "t.dds", {{name, "a.dds"}, {"next", "b.dds"}})));
            const PaintListContents read = *loadedList(list);
            const bool readsBack = read.paints.size() == 2 && read.paints[0] == PaintEntry{name, "a.dds"};
            QCOMPARE(PaintRules::problemWithName(name).isEmpty(), readsBack);
        }
    }

    void applyBacksUpOnceThenReplacesTheMainTexture()
    {
        const QString game = m_dir.filePath("apply/");
        PaintTable table = loadP51(game);
        const QString folder = game + "Aircraft/P51/";
        QFile::remove(folder + "P51_t.dds.bak"); // as if the load had not made it

        QCOMPARE(applyPaint(table, 2).reason, QString());
        QCOMPARE(readFile(folder + "P51_t.dds"), TestGame::texture("paint desert.dds"));
        QCOMPARE(readFile(folder + "P51_t.dds.bak"), TestGame::texture("original P51"));

        QCOMPARE(applyPaint(table, 3).reason, QString());
        QCOMPARE(readFile(folder + "P51_t.dds"), TestGame::texture("paint navy.dds"));
        QCOMPARE(readFile(folder + "P51_t.dds.bak"), TestGame::texture("original P51"));

        QCOMPARE(applyPaint(table, PaintTable::DefaultRow).reason, QString());
        QCOMPARE(readFile(folder + "P51_t.dds"), TestGame::texture("original P51"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 6); // no temporary left
    }

    void applyFindsFilesInAnyLetterCase()
    {
        const QString game = m_dir.filePath("case/");
        const QString folder = TestGame::addAircraft(game, "P51", {{"Desert", "Desert.DDS"}});
        // Made anew, not renamed: Wine keeps the old spelling on a rename
        // that changes only the letter case.
        QVERIFY(QFile::remove(folder + "P51_t.dds"));
        QVERIFY(writeFile(folder + "P51_T.DDS", TestGame::texture("original P51")));
        QVERIFY(writeFile(folder + "P51.pnt", TestGame::paintList("P51", "P51_t.dds", {{"Desert", "desert.dds"}})));
        PaintTable table = *loadedTable(folder + "P51.pnt");
        QCOMPARE(applyPaint(table, 2).reason, QString());
        QCOMPARE(readFile(folder + "P51_T.DDS"), TestGame::texture("paint Desert.DDS"));
        // Written over as it is spelled, never beside it in the list's spelling.
        QCOMPARE(QDir(folder).entryList({"p51_t.dds"}), QStringList{"P51_T.DDS"});
    }

    void failuresAreToldAndLeaveTheMainTextureWhole()
    {
        const QString game = m_dir.filePath("faults/");
        PaintTable table = loadP51(game);
        const QString folder = game + "Aircraft/P51/";

        // The paint's file is missing.
        QVERIFY(QFile::remove(folder + "navy.dds"));
        QString told = applyPaint(table, 3).reason;
        QVERIFY2(told.contains("navy.dds"), qPrintable(told));
        QCOMPARE(readFile(folder + "P51_t.dds"), TestGame::texture("original P51"));

#ifndef Q_OS_WIN
        // The disk fills up halfway through the copy.
        QVERIFY(writeFile(folder + "desert.dds", QByteArray(64 * 1024, 'd')));
        {
            FaultInjection::FileSizeLimit limit(16 * 1024);
            told = applyPaint(table, 2).reason;
        }
        QVERIFY(!told.isEmpty());
        QCOMPARE(readFile(folder + "P51_t.dds"), TestGame::texture("original P51"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 5);
#endif

        // The main texture is a folder.
        QVERIFY(QFile::remove(folder + "P51_t.dds") && QFile::remove(folder + "P51_t.dds.bak"));
        QVERIFY(QDir().mkpath(folder + "P51_t.dds"));
        QVERIFY(!applyPaint(table, 2).ok);
        QVERIFY(QFileInfo(folder + "P51_t.dds").isDir());
    }

    void noApplyWithoutABackup()
    {
#ifdef Q_OS_WIN
        QSKIP("needs a folder its user cannot write to, and Wine has but one user");
#else
        const QString game = m_dir.filePath("readonly/");
        PaintTable table = loadP51(game);
        const QString folder = game + "Aircraft/P51/";
        QVERIFY(QFile::remove(folder + "P51_t.dds.bak"));
        QVERIFY(chmod(QFile::encodeName(m_dir.path()).constData(), 0755) == 0);
        QVERIFY(chmod(QFile::encodeName(folder).constData(), 0555) == 0);
        QVERIFY(chmod(QFile::encodeName(folder + "P51_t.dds").constData(), 0666) == 0);
        const int result = FaultInjection::asUnprivilegedUser([&] {
            const QString told = applyPaint(table, 2).reason;
            return told.contains("backup") ? 0 : 1;
        });
        chmod(QFile::encodeName(folder).constData(), 0755);
        QCOMPARE(result, 0);
        QCOMPARE(readFile(folder + "P51_t.dds"), TestGame::texture("original P51"));
        QVERIFY(!QFile::exists(folder + "P51_t.dds.bak"));
#endif
    }

    void aHostileListReachesNothingOutsideTheAircraftFolder()
    {
        const QString game = m_dir.filePath("hostile/");
        const QString folder = game + "Aircraft/Evil/";
        QVERIFY(writeFile(game + "victim.txt", "keep me"));
        QVERIFY(writeFile(folder + "Evil.pnt",
                          TestGame::paintList("Evil", "../../victim.txt",
                                              {{"Abs", "/etc/hostname"}, {"Up", "..\\..\\victim.txt"}, {"Fine", "fine.dds"}})));
        QVERIFY(writeFile(folder + "fine.dds", TestGame::texture("paint fine")));
        PaintTable table = *loadedTable(folder + "Evil.pnt");
        QVERIFY(!QFile::exists(game + "victim.txt.bak")); // no backup made out there
        QVERIFY(table.mainTexturePath().isEmpty());
        QVERIFY(table.texturePath(2).isEmpty());
        QVERIFY(table.texturePath(3).isEmpty());
        QVERIFY(!applyPaint(table, 4).ok); // the target is outside
        QCOMPARE(readFile(game + "victim.txt"), QByteArray("keep me"));

        // A paint leading out is refused even with a sound main texture.
        QVERIFY(writeFile(folder + "Evil.pnt", TestGame::paintList("Evil", "evil_t.dds", {{"Up", "../../victim.txt"}})));
        QVERIFY(writeFile(folder + "evil_t.dds", "original"));
        table = *loadedTable(folder + "Evil.pnt");
        QVERIFY(!applyPaint(table, 2).ok);
        QCOMPARE(readFile(folder + "evil_t.dds"), QByteArray("original"));
    }
};

QTEST_GUILESS_MAIN(PaintRulesTest)
#include "tst_PaintRules.moc"
