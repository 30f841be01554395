#include "GameLocation.h"
#include "GameRegistry.h"
#include "NativePath.h"
#include "SectionName.h"
#include "SystemDrive.h"
#include "TempTree.h"
#include "WineRegistry.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray header = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n";

QByteArray gameSection(const QByteArray &keyPrefix, const QByteArray &valueLine)
{
    return "[" + keyPrefix + "Microsoft\\\\Microsoft Games\\\\Combat Flight Simulator\\\\3.0] 1700000000\n"
           "#time=1d9a2b3c4d5e6f7\n" + valueLine + "\n\n";
}

// A prefix whose C: drive holds the game folder.
void makePrefix(const QString &prefix, const QByteArray &registry)
{
    QVERIFY(TempTree::writeFile(prefix + "/system.reg", registry));
    QVERIFY(QDir().mkpath(prefix + "/drive_c/Program Files/CFS3"));
}

} // namespace

class GameLocationTest : public QObject
{
    Q_OBJECT

    // The value as read, null when missing; a skipped hive fails the test.
    static QString textOf(const WineRegistry &registry, const QString &key, const QString &name)
    {
        QString text;
        const PaintResult read = registry.machineText(key, name, text);
        return read ? text : QString("<skipped: %1>").arg(read.reason);
    }

private slots:
    // The player's own prefixes must not answer for the test's.
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }

    void sectionNameIsTheProgramNameWithoutExe()
    {
        QCOMPARE(sectionNameFor("/opt/corvane/Corvane"), QString("Corvane"));
        QCOMPARE(sectionNameFor("C:/Tools/Corvane.exe"), QString("Corvane"));
        QCOMPARE(sectionNameFor("/opt/corvane/MyCopy.EXE"), QString("MyCopy"));
        QCOMPARE(sectionNameFor("/opt/corvane/paints"), QString("paints"));
    }

    void foldersEndWithOneSeparator()
    {
        using namespace GameLocation;
        QCOMPARE(NativePath::withTrailingSeparator(""), QString(""));
        QCOMPARE(NativePath::withTrailingSeparator("/games/CFS3"), QDir::toNativeSeparators("/games/CFS3/"));
        QCOMPARE(NativePath::withTrailingSeparator("/games/CFS3/"), QDir::toNativeSeparators("/games/CFS3/"));
        QCOMPARE(aircraftFolderOf(QDir::toNativeSeparators("/games/CFS3/")), QDir::toNativeSeparators("/games/CFS3/Aircraft/"));
        QCOMPARE(folderOfFile("/games/CFS3/cfs3.exe"), QDir::toNativeSeparators("/games/CFS3/"));
        QCOMPARE(folderOfFile("/games/My Game/readme.txt"), QDir::toNativeSeparators("/games/My Game/"));
    }

    void locatingStartsInTheFirstFolderThatExists()
    {
        QTemporaryDir dir;
        const QString game = dir.filePath("CFS3/"), drive = dir.filePath("drive_c/"), home = dir.filePath("home/");
        QVERIFY(QDir().mkpath(drive));
        using GameLocation::searchStartFolder;
        QCOMPARE(searchStartFolder(game, drive, home), drive); // game folder gone
        QCOMPARE(searchStartFolder("", "", home), home);
        QCOMPARE(searchStartFolder("", dir.filePath("no-drive/"), home), home);
        QVERIFY(QDir().mkpath(game));
        QCOMPARE(searchStartFolder(game, drive, home), game);

#ifdef Q_OS_WIN
        QCOMPARE(systemDriveFolder(), qEnvironmentVariable("SystemDrive", "C:") + '\\');
#else
        // Only prefixes of this test: a private home without a ~/.wine.
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", dir.filePath("home").toLocal8Bit());
        qputenv("WINEPREFIX", dir.path().toLocal8Bit());
        QCOMPARE(systemDriveFolder(), QString()); // no system.reg: not a prefix
        QVERIFY(TempTree::writeFile(dir.filePath("system.reg"), header));
        QCOMPARE(systemDriveFolder(), drive);
        qputenv("WINEPREFIX", dir.filePath("no-prefix").toLocal8Bit());
        QCOMPARE(systemDriveFolder(), QString());
        qunsetenv("WINEPREFIX");
        qputenv("HOME", realHome);
#endif
    }

    void oversizedOrOddHivesAreSkippedWithANote_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("note");
        QTest::newRow("a line without end before the key") << "long line" << true << "";
        QTest::newRow("at the cap") << "at cap" << true << "";
        QTest::newRow("one byte over the cap") << "over cap" << false << "is larger than 64 MiB";
        QTest::newRow("a folder") << "folder" << false << "is not a regular file";
    }

    void oversizedOrOddHivesAreSkippedWithANote()
    {
        QFETCH(QString, shape);
        QFETCH(bool, found);
        QFETCH(QString, note);
        QTemporaryDir dir;
        const QString path = dir.filePath("system.reg");
        const QByteArray entry = gameSection("Software\\\\", "\"EXE Path\"=\"C:\\\\CFS3\"");
        if (shape == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (shape == "long line") {
            QVERIFY(TempTree::writeFile(path, header + QByteArray(3 << 20, 'x') + "\n" + entry));
        } else {
            QVERIFY(TempTree::writeFile(path, header + entry));
            QFile file(path); // sparse: cheap to make
            QVERIFY(file.open(QIODevice::Append)
                    && file.resize(WineRegistry::MaxHiveBytes + (shape == "over cap" ? 1 : 0)));
        }
        QString value;
        const PaintResult read = WineRegistry(dir.path()).machineText(
            "Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\3.0", "EXE Path", value);
        QCOMPARE(value, found ? QString("C:\\CFS3") : QString());
        QCOMPARE(read.ok, note.isEmpty());
        QVERIFY2(note.isEmpty() ? read.reason.isEmpty() : read.reason.contains(note), qPrintable(read.reason));
    }

    void registryValuesWithWineEscapes()
    {
        QTemporaryDir dir;
        const QByteArray registry = header
            + gameSection("Software\\\\", "\"Other\"=\"x\"\n\"EXE Path\"=\"C:\\\\Caf\\x00e9 \\\"Games\\\"\\\\CFS3\\\\\"")
            + "[Software\\\\Other] 1\n\"EXE Path\"=\"wrong\"\n";
        QVERIFY(TempTree::writeFile(dir.filePath("system.reg"), registry));
        const WineRegistry wine(dir.path());
        QCOMPARE(textOf(wine, "Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\3.0", "EXE Path"),
                 QString::fromUtf8("C:\\Caf\u00e9 \"Games\"\\CFS3\\"));
        // Windows ignores letter case in key and value names.
        QCOMPARE(textOf(wine, "SOFTWARE\\MICROSOFT\\Microsoft Games\\Combat Flight Simulator\\3.0", "exe path"),
                 QString::fromUtf8("C:\\Caf\u00e9 \"Games\"\\CFS3\\"));
        QVERIFY(textOf(wine, "Software\\Nothing", "EXE Path").isNull());
        QVERIFY(textOf(wine, "Software\\Other", "Missing").isNull());
        QVERIFY(textOf(WineRegistry(dir.filePath("no-prefix")), "Software\\Other", "EXE Path").isNull());
    }

    void expandableStringsAreTakenAsStored()
    {
        QCOMPARE(unescapeWineString(u"a\\\\b\\tc"), QString("a\\b\tc"));
        QTemporaryDir dir;
        QVERIFY(TempTree::writeFile(dir.filePath("system.reg"),
                                    header + "[Software\\\\K] 1\n\"P\"=str(2):\"%ProgramFiles%\\\\CFS3\"\n"));
        QCOMPARE(textOf(WineRegistry(dir.path()), "Software\\K", "P"), QString("%ProgramFiles%\\CFS3"));
    }

    void windowsPathsBecomeNativeThroughTheDriveLinks()
    {
#ifdef Q_OS_WIN
        QSKIP("only the Linux build looks into a Wine prefix; Windows reads its registry");
#endif
        QTemporaryDir dir;
        const QString prefix = dir.filePath("prefix");
        makePrefix(prefix, header);
        QVERIFY(QDir().mkpath(dir.filePath("elsewhere/Games/CFS3")));
        QVERIFY(QDir().mkpath(prefix + "/dosdevices"));
        QVERIFY(QFile::link(dir.filePath("elsewhere"), prefix + "/dosdevices/d:"));
        const WineRegistry wine(prefix);

        // No c: link: drive_c stands in. Letter case is Windows'.
        QCOMPARE(wine.toNativePath("C:\\PROGRAM FILES\\cfs3\\"),
                 QFileInfo(prefix + "/drive_c").canonicalFilePath() + "/Program Files/CFS3/");
        QCOMPARE(wine.toNativePath("d:\\Games\\CFS3"),
                 QFileInfo(dir.filePath("elsewhere")).canonicalFilePath() + "/Games/CFS3");
        QCOMPARE(wine.toNativePath("E:\\Games"), QString());
        QCOMPARE(wine.toNativePath("\\\\server\\share"), QString());
        QCOMPARE(wine.toNativePath(""), QString());
    }

    void gameFolderFoundIn32And64BitPrefixes_data()
    {
        QTest::addColumn<QByteArray>("keyPrefix");
        QTest::newRow("32-bit prefix") << QByteArray("Software\\\\");
        QTest::newRow("64-bit prefix") << QByteArray("Software\\\\Wow6432Node\\\\");
    }
    void gameFolderFoundIn32And64BitPrefixes()
    {
#ifdef Q_OS_WIN
        QSKIP("only the Linux build looks into a Wine prefix; Windows reads its registry");
#endif
        QFETCH(QByteArray, keyPrefix);
        QTemporaryDir dir;
        const QString prefix = dir.filePath("wine");
        makePrefix(prefix, header + gameSection(keyPrefix, "\"EXE Path\"=\"C:\\\\Program Files\\\\CFS3\""));
        qputenv("WINEPREFIX", prefix.toLocal8Bit());
        QCOMPARE(readGameInstallFolder(), QFileInfo(prefix + "/drive_c").canonicalFilePath() + "/Program Files/CFS3");
    }

    void missingPrefixOrValueGivesNoFolder()
    {
#ifdef Q_OS_WIN
        QSKIP("only the Linux build looks into a Wine prefix; Windows reads its registry");
#endif
        QTemporaryDir dir;
        qputenv("WINEPREFIX", dir.filePath("none").toLocal8Bit());
        QCOMPARE(readGameInstallFolder(), QString());
        const QString prefix = dir.filePath("wine");
        makePrefix(prefix, header + gameSection("Software\\\\", "\"Version\"=\"3.0\""));
        qputenv("WINEPREFIX", prefix.toLocal8Bit());
        QCOMPARE(readGameInstallFolder(), QString());
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(GameLocationTest)
#include "tst_GameLocation.moc"
