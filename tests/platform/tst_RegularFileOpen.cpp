#include "RegularFileOpen.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

class TestRegularFileOpen : public QObject
{
    Q_OBJECT

private slots:
    void opensOnlyRegularFilesAndNeverWaits_data();
    void opensOnlyRegularFilesAndNeverWaits();
    void readsWholeFilesUpToTheLimit_data();
    void readsWholeFilesUpToTheLimit();
};

void TestRegularFileOpen::opensOnlyRegularFilesAndNeverWaits_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("regular file") << "file" << "";
    QTest::newRow("link to a regular file") << "link" << "";
    // Opened the ordinary way, a pipe without a writer would block here.
    QTest::newRow("named pipe") << "pipe" << "is not a regular file";
    QTest::newRow("folder") << "folder" << "is not a regular file";
    QTest::newRow("device") << "device" << "is not a regular file";
    // The system's own words.
#ifdef Q_OS_WIN
    QTest::newRow("missing") << "missing" << "File not found.";
#else
    QTest::newRow("missing") << "missing" << "No such file or directory";
#endif
}

void TestRegularFileOpen::opensOnlyRegularFilesAndNeverWaits()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath("P51.pnt");
#ifdef Q_OS_WIN
    if (kind == "link" || kind == "pipe" || kind == "device")
        QSKIP("Windows has no such file without privileges, nor pipes and devices in folders");
#endif
    if (kind == "file" || kind == "link") {
        QFile file(dir.filePath("real.pnt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Title\r\n") == 7);
        file.close();
        if (kind == "file")
            path = file.fileName();
        else
            QVERIFY(QFile::link(file.fileName(), path));
    } else if (kind == "pipe") {
#ifndef Q_OS_WIN
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
#endif
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "device") {
        path = "/dev/zero";
    }

    // Each answer names the file it is about, and says why alone.
    const PaintResult probed = RegularFileOpen::canRead(path);
    QCOMPARE(probed.ok, reason.isEmpty());
    QCOMPARE(probed.reason, reason);
    QCOMPARE(probed.file, QDir::toNativeSeparators(path));

    QFile file(path);
    const PaintResult opened = RegularFileOpen::openForReading(file);
    QCOMPARE(opened.reason, reason);
    QCOMPARE(opened.ok, reason.isEmpty());
    QCOMPARE(opened.file, QDir::toNativeSeparators(path));
    QCOMPARE(file.isOpen(), opened.ok);
    if (opened)
        QCOMPARE(file.readAll(), QByteArray("Title\r\n"));

    QByteArray bytes;
    const PaintResult read = RegularFileOpen::readAll(path, 1024, bytes);
    QCOMPARE(read.ok, reason.isEmpty());
    QCOMPARE(read.reason, reason);
    QCOMPARE(read.file, QDir::toNativeSeparators(path));
    QCOMPARE(bytes, reason.isEmpty() ? QByteArray("Title\r\n") : QByteArray());
}

void TestRegularFileOpen::readsWholeFilesUpToTheLimit_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("tooLarge");
    QTest::newRow("empty") << 0 << false;
    QTest::newRow("one byte") << 1 << false;
    QTest::newRow("at the limit") << 4000 << false;
    QTest::newRow("one byte more") << 4001 << true;
    QTest::newRow("far more") << 100000 << true;
}

void TestRegularFileOpen::readsWholeFilesUpToTheLimit()
{
    QFETCH(int, size);
    QFETCH(bool, tooLarge);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray content(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        content[i] = char('A' + i % 23);
    QFile file(dir.filePath("P51.pnt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == size);
    file.close();

    QByteArray bytes("left over");
    bool refusedAsLarge = !tooLarge;
    QCOMPARE(RegularFileOpen::readAll(file.fileName(), 4000, bytes, &refusedAsLarge).ok, !tooLarge);
    QCOMPARE(refusedAsLarge, tooLarge);
    QCOMPARE(bytes, tooLarge ? QByteArray() : content);
}

QTEST_GUILESS_MAIN(TestRegularFileOpen)
#include "tst_RegularFileOpen.moc"
