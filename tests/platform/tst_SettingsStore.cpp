#include "IniSettingsStore.h"
#include "FaultInjection.h"
#include "SmallDisk.h"
#include "TempTree.h"

#include <QTemporaryDir>
#include <QtTest>

class SettingsStoreTest : public QObject
{
    Q_OBJECT

    static int integerOf(SettingsStore &store, int fallback)
    {
        int value = fallback;
        return store.readInteger("Corvane", "Top", value) ? value : -1;
    }
    static QString textOf(SettingsStore &store, const QString &name, const QString &fallback)
    {
        QString text = fallback;
        return store.readText("Corvane", name, text) ? text : QString("<unreadable>");
    }

private slots:
    void integersReadLikeThePlayerWroteThem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << "120" << 120;
        QTest::newRow("negative") << "-8" << -8;
        QTest::newRow("hex lower") << "0x20" << 32;
        QTest::newRow("hex upper") << "0X1f" << 31;
        QTest::newRow("bare prefix") << "0x" << 40;
        QTest::newRow("bad hex") << "0xZZ" << 40;
        QTest::newRow("not a number") << "left" << 40;
        QTest::newRow("empty") << "" << 40;
    }
    void integersReadLikeThePlayerWroteThem()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(parseStoredInteger(text, 40), expected);
    }

    void missingValuesAndSectionsGiveTheDefault()
    {
        QTemporaryDir dir;
        IniSettingsStore store(dir.filePath("Ostrel/Ostrel.ini"));
        QCOMPARE(integerOf(store, 40), 40);
        QCOMPARE(textOf(store, "CFSPath", "<missing>"), QString("<missing>"));
        QVERIFY(store.writeText("Other", "Top", "7"));
        QCOMPARE(integerOf(store, 40), 40);
    }

    void valuesAreStoredAsTextInTheSectionGroup()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Ostrel/Ostrel.ini");
        {
            IniSettingsStore store(path);
            QVERIFY(store.writeInteger("Corvane", "Top", -12));
            QVERIFY(store.writeText("Corvane", "CFSPath", "/games/My CFS3, old/"));
        }
        const QByteArray ini = TempTree::readFile(path);
        QVERIFY(ini.contains("[Corvane]"));
        QVERIFY(ini.contains("Top=-12"));
        IniSettingsStore reopened(path);
        QCOMPARE(integerOf(reopened, 40), -12);
        QCOMPARE(textOf(reopened, "CFSPath", ""), QString("/games/My CFS3, old/"));
    }

    void valuesThatAreNotPlainTextAreTheWrongType_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("list") << QByteArray("Top=1, 2");
        QTest::newRow("variant") << QByteArray("Top=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)");
    }
    void valuesThatAreNotPlainTextAreTheWrongType()
    {
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        const QString path = dir.filePath("Ostrel.ini");
        QVERIFY(TempTree::writeFile(path, "[Corvane]\n" + line + "\n"));
        IniSettingsStore store(path);
        int top = 40;
        const PaintResult read = store.readInteger("Corvane", "Top", top);
        QVERIFY(!read);
        QCOMPARE(read.message(), QString("Invalid data type for 'Top'"));
        QCOMPARE(top, 40);
    }

    void aRefusedWriteNamesTheFileAndTheSystemsReason_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");
        // A folder where the file should be: refused even for root.
        QTest::newRow("folder") << "folder" << "it is not a regular file";
        QTest::newRow("read-only folder") << "read-only folder" << "Permission denied";
        QTest::newRow("full disk") << "full disk" << "No space left on device";
    }

    void aRefusedWriteNamesTheFileAndTheSystemsReason()
    {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString folder = dir.filePath("Ostrel/");
        const QString path = folder + "Ostrel.ini";
        const QString toldFile = dir.filePath("told.txt");
        QVERIFY(QDir().mkpath(folder));
        auto attempt = [&] {
            if (how == "folder" && !QDir().mkpath(path))
                return 2;
            if (how == "full disk" && !TempTree::writeFile(folder + "filler", QByteArray(60 * 1024, 'x')))
                return 2;
            IniSettingsStore store(path);
            const PaintResult written = store.writeText("Corvane", "CFSPath", "/games/" + QString(8000, 'g'));
            if (written)
                return 1;
            return TempTree::writeFile(toldFile, written.message().toUtf8()) ? 0 : 2;
        };
        int result;
        if (how == "full disk") {
            result = SmallDisk::run(folder, 64, attempt);
            if (result == SmallDisk::Unavailable)
                QSKIP("no small disk can be mounted here");
        } else if (how == "read-only folder") {
#ifdef _WIN32
            QSKIP("Windows has no users to switch to, and read-only folders stay writable");
#else
            QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
            QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x5555)));
            result = FaultInjection::asUnprivilegedUser(attempt);
#endif
        } else {
            result = attempt();
        }
        QCOMPARE(result, 0);
        QCOMPARE(QString::fromUtf8(TempTree::readFile(toldFile)),
                 "Failed to set data for 'CFSPath'\n\nThe settings file\n" + QDir::toNativeSeparators(path)
                     + "\ncould not be written: " + reason);
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_SettingsStore.moc"
