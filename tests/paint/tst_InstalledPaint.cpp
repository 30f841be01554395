#include "InstalledPaint.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using Files = QList<QPair<QString, QByteArray>>;

namespace {
// Bytes that differ from one seed to the next almost everywhere, as the
// pixels of two paints do.
QByteArray pixels(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = seed * 2654435761u + 1;
    for (char &byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = char(state >> 24);
    }
    return bytes;
}
} // namespace

class TestInstalledPaint : public QObject
{
    Q_OBJECT

private slots:
    void findsPaintWithSameContent_data();
    void findsPaintWithSameContent();
    void candidateOfTheMainTextureItselfNeverCounts();
    void rewrittenFileIsComparedAgain();
    void onlyTheMatchIsReadInFull();
    void filesOutsideTheAircraftFolderAreNeverRead();
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
    // Files large enough to be told apart by samples before any full read.
    const QByteArray big = pixels(300 * 1024, 1);
    QByteArray otherMiddle = big;
    otherMiddle[150 * 1024 + 10] = '!';
    QByteArray otherEnd = big;
    otherEnd[otherEnd.size() - 1] = '!';
    QByteArray otherBetween = big;
    otherBetween[100 * 1024] = '!';
    QTest::newRow("same start, other middle")
        << Files{{"main.dds", big}, {"a.dds", otherMiddle}} << QStringList{"a.dds"} << -1;
    QTest::newRow("same samples, last byte differs")
        << Files{{"main.dds", big}, {"a.dds", otherEnd}} << QStringList{"a.dds"} << -1;
    QTest::newRow("same samples, differs between them")
        << Files{{"main.dds", big}, {"a.dds", otherBetween}, {"b.dds", big}} << QStringList{"a.dds", "b.dds"} << 1;
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
    const std::optional<int> found = installed.find(dir.path(), dir.filePath("main.dds"), paths);
    QCOMPARE(found.value_or(-1), expected);
    // Asked again, the cached hashes must give the same answer.
    QCOMPARE(installed.find(dir.path(), dir.filePath("main.dds"), paths).value_or(-1), expected);
}

void TestInstalledPaint::candidateOfTheMainTextureItselfNeverCounts()
{
    QTemporaryDir dir;
    QVERIFY(TestFiles::write(dir.filePath("main.dds"), "pixels"));
    QVERIFY(TestFiles::write(dir.filePath("copy.dds"), "pixels"));
    InstalledPaint installed;
    const QString main = dir.filePath("main.dds");
    QCOMPARE(installed.find(dir.path(), main, {main, dir.path() + "/./main.dds", dir.filePath("copy.dds")}), 2);
}

void TestInstalledPaint::onlyTheMatchIsReadInFull()
{
    // Forty paints of one size, as one aircraft's are: finding the installed
    // one reads the main texture and that paint, and samples of the others.
    QTemporaryDir dir;
    constexpr qsizetype size = 1024 * 1024 + 128;
    QStringList paints;
    for (int i = 0; i < 40; ++i) {
        paints << dir.filePath(QString("paint%1.dds").arg(i));
        QVERIFY(TestFiles::write(paints.last(), pixels(size, i)));
    }
    QVERIFY(TestFiles::write(dir.filePath("main.dds"), pixels(size, 30)));
    InstalledPaint installed;
    QCOMPARE(installed.find(dir.path(), dir.filePath("main.dds"), paints), 30);
    QVERIFY2(installed.bytesReadByLastFind() <= 2 * size + 41 * 128 * 1024,
             qPrintable(QString::number(installed.bytesReadByLastFind())));

    // Asked again about unchanged files, nothing is read at all, unless the
    // caller needs to be sure now.
    QCOMPARE(installed.find(dir.path(), dir.filePath("main.dds"), paints), 30);
    QCOMPARE(installed.bytesReadByLastFind(), 0);
    QCOMPARE(installed.find(dir.path(), dir.filePath("main.dds"), paints, InstalledPaint::Verdicts::ReadAgain), 30);
    QVERIFY(installed.bytesReadByLastFind() >= 2 * size);
}

void TestInstalledPaint::rewrittenFileIsComparedAgain()
{
    QTemporaryDir dir;
    const QString main = dir.filePath("main.dds");
    const QStringList paints{dir.filePath("a.dds"), dir.filePath("b.dds")};
    QVERIFY(TestFiles::write(main, "AAAA"));
    QVERIFY(TestFiles::write(paints[0], "AAAA"));
    QVERIFY(TestFiles::write(paints[1], "BBBB"));
    InstalledPaint installed;
    QCOMPARE(installed.find(dir.path(), main, paints), 0);

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
    QCOMPARE(installed.find(dir.path(), main, paints), 1);
}

void TestInstalledPaint::filesOutsideTheAircraftFolderAreNeverRead()
{
    QTemporaryDir aircraft, elsewhere;
    const QString main = aircraft.filePath("main.dds");
    const QString outside = elsewhere.filePath("secret.dds");
    QVERIFY(TestFiles::write(main, "pixels"));
    QVERIFY(TestFiles::write(outside, "pixels"));
    QVERIFY(QFile::link(outside, aircraft.filePath("link.dds")));
    InstalledPaint installed;
    QCOMPARE(installed.find(aircraft.path(), main, {outside, aircraft.filePath("link.dds")}), std::nullopt);
}

QTEST_GUILESS_MAIN(TestInstalledPaint)
#include "tst_InstalledPaint.moc"
