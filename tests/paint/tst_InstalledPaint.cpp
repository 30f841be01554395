#include "InstalledPaint.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using Files = QList<QPair<QString, QByteArray>>;

class TestInstalledPaint : public QObject
{
    Q_OBJECT

private slots:
    void findsPaintWithSameContent_data();
    void findsPaintWithSameContent();
    void candidateOfTheMainTextureItselfNeverCounts();
    void rewrittenFileIsHashedAgain();
};

void TestInstalledPaint::findsPaintWithSameContent_data()
{
    QTest::addColumn<Files>("files"); // main.dds is the main texture
    QTest::addColumn<QStringList>("candidates");
    QTest::addColumn<int>("expected"); // -1: none

    const QByteArray paintA = "paint A pixels";
    const QByteArray paintB = "paint B pixels";
    QTest::newRow("matching paint")
        << Files{{"main.dds", paintB}, {"a.dds", paintA}, {"b.dds", paintB}}
        << QStringList{"a.dds", "b.dds"} << 1;
    QTest::newRow("first of two matches")
        << Files{{"main.dds", paintA}, {"main.dds.bak", paintA}, {"a.dds", paintA}}
        << QStringList{"main.dds.bak", "a.dds"} << 0;
    QTest::newRow("same size, other bytes")
        << Files{{"main.dds", "paint C pixels"}, {"a.dds", paintA}}
        << QStringList{"a.dds"} << -1;
    QTest::newRow("prefix of the main texture")
        << Files{{"main.dds", paintA + "tail"}, {"a.dds", paintA}}
        << QStringList{"a.dds"} << -1;
    QTest::newRow("main texture missing")
        << Files{{"a.dds", paintA}} << QStringList{"a.dds"} << -1;
    QTest::newRow("missing, empty and folder candidates skipped")
        << Files{{"main.dds", paintA}, {"dir/x", "x"}, {"a.dds", paintA}}
        << QStringList{"gone.dds", "", "dir", "a.dds"} << 3;
    QTest::newRow("empty files match")
        << Files{{"main.dds", ""}, {"a.dds", ""}} << QStringList{"a.dds"} << 0;
}

void TestInstalledPaint::findsPaintWithSameContent()
{
    QFETCH(Files, files);
    QFETCH(QStringList, candidates);
    QFETCH(int, expected);

    QTemporaryDir dir;
    for (const auto &[name, bytes] : files)
        QVERIFY(TestFiles::write(dir.filePath(name), bytes));
    QStringList paths;
    for (const QString &name : candidates)
        paths << (name.isEmpty() ? name : dir.filePath(name));

    InstalledPaint installed;
    const std::optional<int> found = installed.find(dir.filePath("main.dds"), paths);
    QCOMPARE(found.value_or(-1), expected);
    // Asked again, the cached hashes must give the same answer.
    QCOMPARE(installed.find(dir.filePath("main.dds"), paths).value_or(-1), expected);
}

void TestInstalledPaint::candidateOfTheMainTextureItselfNeverCounts()
{
    QTemporaryDir dir;
    QVERIFY(TestFiles::write(dir.filePath("main.dds"), "pixels"));
    QVERIFY(TestFiles::write(dir.filePath("copy.dds"), "pixels"));
    InstalledPaint installed;
    const QString main = dir.filePath("main.dds");
    QCOMPARE(installed.find(main, {main, dir.path() + "/./main.dds", dir.filePath("copy.dds")}), 2);
}

void TestInstalledPaint::rewrittenFileIsHashedAgain()
{
    QTemporaryDir dir;
    const QString main = dir.filePath("main.dds");
    const QStringList paints{dir.filePath("a.dds"), dir.filePath("b.dds")};
    QVERIFY(TestFiles::write(main, "AAAA"));
    QVERIFY(TestFiles::write(paints[0], "AAAA"));
    QVERIFY(TestFiles::write(paints[1], "BBBB"));
    InstalledPaint installed;
    QCOMPARE(installed.find(main, paints), 0);

    // Same size, other bytes, and the old modification time put back (as
    // archive tools do). The file system stamps change times from a coarse
    // clock, so let it tick first.
    QThread::msleep(50);
    const QDateTime before = QFileInfo(main).lastModified();
    QVERIFY(TestFiles::write(main, "BBBB"));
    QFile touched(main);
    QVERIFY(touched.open(QIODevice::ReadWrite));
    QVERIFY(touched.setFileTime(before, QFileDevice::FileModificationTime));
    touched.close();
    QCOMPARE(installed.find(main, paints), 1);
}

QTEST_GUILESS_MAIN(TestInstalledPaint)
#include "tst_InstalledPaint.moc"
