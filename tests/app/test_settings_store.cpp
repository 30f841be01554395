#include "IniSettingsStore.h"
#include "TempTree.h"

#include <QTemporaryDir>
#include <QtTest>

class SettingsStoreTest : public QObject
{
    Q_OBJECT

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
        QCOMPARE(store.readInteger("Corvane", "Top", 40), 40);
        QCOMPARE(store.readText("Corvane", "CFSPath", ""), QString(""));
        store.writeText("Other", "Top", "7");
        QCOMPARE(store.readInteger("Corvane", "Top", 40), 40);
    }

    void valuesAreStoredAsTextInTheSectionGroup()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Ostrel/Ostrel.ini");
        {
            IniSettingsStore store(path);
            store.writeInteger("Corvane", "Top", -12);
            store.writeText("Corvane", "CFSPath", "/games/My CFS3, old/");
        }
        const QByteArray ini = TempTree::readFile(path);
        QVERIFY(ini.contains("[Corvane]"));
        QVERIFY(ini.contains("Top=-12"));
        IniSettingsStore reopened(path);
        QCOMPARE(reopened.readInteger("Corvane", "Top", 40), -12);
        QCOMPARE(reopened.readText("Corvane", "CFSPath", ""), QString("/games/My CFS3, old/"));
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
        try {
            store.readInteger("Corvane", "Top", 40);
            QFAIL("a wrong-typed value was read as a number");
        } catch (const SettingsError &error) {
            QCOMPARE(error.message(), QString("Invalid data type for 'Top'"));
        }
    }

    void aRefusedWriteRaisesTheFailedToSetError()
    {
        QTemporaryDir dir;
        // A folder where the file should be: refused even for root.
        const QString path = dir.filePath("Ostrel.ini");
        QVERIFY(QDir().mkpath(path));
        IniSettingsStore store(path);
        try {
            store.writeText("Corvane", "CFSPath", "/games/");
            QFAIL("the refused write went unnoticed");
        } catch (const SettingsError &error) {
            QCOMPARE(error.message(), QString("Failed to set data for 'CFSPath'"));
        }
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "test_settings_store.moc"
