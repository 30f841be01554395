#include "SafeSave.h"
#include "FaultInjection.h"
#ifndef _WIN32
#include "SmallDisk.h"
#endif
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSafeSave : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void createsAndReplaces();
    void replacingKeepsPermissions();
    void neverWritesThroughALink();
    void keepingRefusesAnythingThere_data();
    void keepingRefusesAnythingThere();
    void failuresKeepTheOldFileAndTellTheSystemsReason_data();
    void failuresKeepTheOldFileAndTellTheSystemsReason();
    void discardedSaveLeavesNothing();
    void aClosedFileTakesItsNameLater_data();
    void aClosedFileTakesItsNameLater();
    void streamsThroughTheDevice();
    void copiesAnotherFileWhole_data();
    void copiesAnotherFileWhole();
    void temporaryFilesCarryTheirOwnName_data();
    void temporaryFilesCarryTheirOwnName();
    void recognisesOnlyItsOwnTemporaryNames_data();
    void recognisesOnlyItsOwnTemporaryNames();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        QStringList names = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden
                                                          | QDir::System | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSafeSave::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSafeSave::createsAndReplaces()
{
    QVERIFY(SafeSave::writeFile(path("P51.pnt"), "first"));
    QCOMPARE(TestFiles::read(path("P51.pnt")), QByteArray("first"));
    QVERIFY(SafeSave::writeFile(path("P51.pnt"), "second"));
    QCOMPARE(TestFiles::read(path("P51.pnt")), QByteArray("second"));
    QCOMPARE(entries(), QStringList{"P51.pnt"});
    QVERIFY(QFile::permissions(path("P51.pnt")) & QFileDevice::ReadOther);
}

void TestSafeSave::replacingKeepsPermissions()
{
#ifdef Q_OS_WIN
    QSKIP("Windows keeps no owner, group and other permissions, only a read-only flag");
#endif
    QVERIFY(TestFiles::write(path("P51_t.dds"), "old"));
    const auto kept = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                      | QFileDevice::WriteUser | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(path("P51_t.dds"), kept));
    QVERIFY(SafeSave::writeFile(path("P51_t.dds"), "new"));
    QCOMPARE(QFile::permissions(path("P51_t.dds")), kept);
}

void TestSafeSave::neverWritesThroughALink()
{
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut here, which is an ordinary file");
#endif
    QVERIFY(TestFiles::write(path("elsewhere.dds"), "not yours"));
    QVERIFY(QFile::link(path("elsewhere.dds"), path("P51_t.dds")));
    const PaintResult written = SafeSave::writeFile(path("P51_t.dds"), "new");
    QVERIFY(!written);
    QCOMPARE(written.file, QDir::toNativeSeparators(path("P51_t.dds")));
    QCOMPARE(written.reason, QString("is a link; only a file itself is written"));
    QVERIFY(QFileInfo(path("P51_t.dds")).isSymLink());
    QCOMPARE(TestFiles::read(path("elsewhere.dds")), QByteArray("not yours"));
}

using Setup = std::function<void(const QString &target)>;
Q_DECLARE_METATYPE(Setup)

void TestSafeSave::keepingRefusesAnythingThere_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::newRow("file") << Setup([](const QString &t) { QVERIFY(TestFiles::write(t, "original")); });
    QTest::newRow("folder") << Setup([](const QString &t) { QVERIFY(QDir().mkdir(t)); });
    // An absolute link: Qt's own rename would create its target.
    QTest::newRow("dangling link") << Setup([](const QString &t) {
        QVERIFY(QFile::link(t + ".nowhere", t));
    });
    QTest::newRow("dangling relative link") << Setup([](const QString &t) {
        QVERIFY(QFile::link("nowhere", t));
    });
}

void TestSafeSave::keepingRefusesAnythingThere()
{
    QFETCH(Setup, setup);
    const QString target = path("P51_t.dds.bak");
    setup(target);
    const QStringList before = entries();
    SafeSave::Options keep;
    keep.replaceExisting = false;
    const PaintResult written = SafeSave::writeFile(target, "copy", keep);
    QVERIFY(!written);
    QVERIFY(!written.reason.isEmpty());
    QCOMPARE(entries(), before); // nothing created through the link, no temporary file
}

void TestSafeSave::failuresKeepTheOldFileAndTellTheSystemsReason_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("copying"); // the content copied from another file by the system
    for (const bool replace : {true, false}) {
        const char *mode = replace ? "replacing" : "creating";
        QTest::addRow("full disk, %s", mode) << "full disk" << replace << "No space left on device" << false;
        QTest::addRow("size limit, %s", mode) << "size limit" << replace << "File too large" << false;
        QTest::addRow("read-only folder, %s", mode) << "read-only folder" << replace << "Permission denied" << false;
        QTest::addRow("full disk, %s by copying", mode) << "full disk" << replace << "No space left on device" << true;
        QTest::addRow("size limit, %s by copying", mode) << "size limit" << replace << "File too large" << true;
    }
}

void TestSafeSave::failuresKeepTheOldFileAndTellTheSystemsReason()
{
#ifdef Q_OS_WIN
    QSKIP("needs a child process with a size limit, a small disk or another user");
#else
    QFETCH(QString, how);
    QFETCH(bool, replace);
    QFETCH(QString, reason);
    QFETCH(bool, copying);
    const QString folder = path("game/");
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + (replace ? "P51_t.dds" : "P51_t.dds.bak");
    const QString errorFile = path("error.txt");
    const QByteArray original = "original";
    const QByteArray big(256 * 1024, 'x');
    const QString source = path("paint.dds");
    QVERIFY(TestFiles::write(source, big));

    // Runs in a child process, where the full disk, the size limit or the
    // unprivileged user exist; it writes what it was told for the parent.
    auto attempt = [&](bool writeOriginal) {
        if (writeOriginal && replace && !TestFiles::write(target, original))
            return 2;
        SafeSave::Options options;
        options.replaceExisting = replace;
        QString error;
        bool saved;
        {
            std::unique_ptr<FaultInjection::FileSizeLimit> limit;
            if (how == "size limit")
                limit = std::make_unique<FaultInjection::FileSizeLimit>(64 * 1024);
            if (copying) {
                SafeSave save(target, options);
                QFile from(source);
                PaintResult result = from.open(QIODevice::ReadOnly) ? save.open()
                                                                    : PaintResult::failure(source, from.errorString());
                if (result)
                    result = save.writeFrom(from);
                if (result)
                    result = save.commit();
                saved = result.ok;
                error = result.reason;
            } else {
                const PaintResult written = SafeSave::writeFile(target, big, options);
                saved = written.ok;
                error = written.reason;
            }
        }
        if (!TestFiles::write(errorFile, error.toUtf8()))
            return 2;
        if (saved)
            return 1;
        if (replace && TestFiles::read(target) != original)
            return 3;
        const QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        return left == (replace ? QStringList{"P51_t.dds"} : QStringList{}) ? 0 : 4;
    };

    int result;
    if (how == "full disk") {
        result = SmallDisk::run(folder, 64, [&] { return attempt(true); });
        if (result == SmallDisk::Unavailable)
            QSKIP("no small disk can be mounted here");
    } else if (how == "read-only folder") {
        if (replace) {
            // Writable itself, so it is the folder that refuses.
            QVERIFY(TestFiles::write(target, original));
            QVERIFY(QFile::setPermissions(target, QFileDevice::Permissions(0x6666)));
        }
        // The unprivileged user may write beside the folder, not into it.
        QVERIFY(QFile::setPermissions(path(""), QFileDevice::Permissions(0x7777)));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x5555)));
        result = FaultInjection::asUnprivilegedUser([&] { return attempt(false); });
    } else {
        const pid_t child = fork();
        if (child == 0)
            _exit(attempt(true));
        int status = 0;
        result = waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    QCOMPARE(result, 0);
    QCOMPARE(QString::fromUtf8(TestFiles::read(errorFile)), reason);
#endif
}

void TestSafeSave::discardedSaveLeavesNothing()
{
    QVERIFY(TestFiles::write(path("P51.pnt"), "original"));
    {
        SafeSave save(path("P51.pnt"));
        QVERIFY(save.open());
        QVERIFY(save.write("half"));
    }
    SafeSave::Options keep;
    keep.replaceExisting = false;
    {
        SafeSave save(path("P51_t.dds.bak"), keep);
        QVERIFY(save.open());
        QVERIFY(save.write("half"));
        save.discard();
    }
    QCOMPARE(entries(), QStringList{"P51.pnt"});
    QCOMPARE(TestFiles::read(path("P51.pnt")), QByteArray("original"));
}

void TestSafeSave::aClosedFileTakesItsNameLater_data()
{
    QTest::addColumn<QString>("finalName"); // empty: never committed
    QTest::addColumn<bool>("placed");
    QTest::newRow("a free name") << QStringLiteral("Red.dds") << true;
    QTest::newRow("a name taken meanwhile") << QStringLiteral("taken.dds") << false;
    QTest::newRow("another folder") << QStringLiteral("sub/Red.dds") << false;
    QTest::newRow("dropped") << QString() << false;
}

void TestSafeSave::aClosedFileTakesItsNameLater()
{
    QFETCH(QString, finalName);
    QFETCH(bool, placed);
    QVERIFY(QDir(m_dir->path()).mkdir("sub"));
    SafeSave::Options keep;
    keep.replaceExisting = false;
    keep.syncToDisk = false;
    {
        SafeSave save(path("red.dds"), keep);
        QVERIFY(save.open());
        QVERIFY(save.write("paint"));
        QVERIFY(save.close());
        // Closed, it waits under its temporary name, holding no handle.
        QCOMPARE(entries().size(), 2);
        QVERIFY(TestFiles::write(path("taken.dds"), "theirs"));
        if (!finalName.isEmpty()) {
            save.setPath(path(finalName));
            const PaintResult committed = save.commit();
            QCOMPARE(committed.ok, placed);
            QCOMPARE(committed.reason.isEmpty(), placed);
            QCOMPARE(committed.file, QDir::toNativeSeparators(path(finalName)));
        }
    }
    QStringList expected{"sub", "taken.dds"};
    if (placed)
        expected.prepend(finalName);
    QCOMPARE(entries(), expected);
    QCOMPARE(TestFiles::read(path("taken.dds")), QByteArray("theirs"));
    if (placed)
        QCOMPARE(TestFiles::read(path(finalName)), QByteArray("paint"));
    QVERIFY(QDir(path("sub")).isEmpty());
}

void TestSafeSave::streamsThroughTheDevice()
{
    SafeSave::Options unsynced;
    unsynced.syncToDisk = false;
    SafeSave save(path("cache._tm"), unsynced);
    QVERIFY(save.open());
    QVERIFY(save.device()->write("BM") == 2);
    QVERIFY(save.commit());
    QCOMPARE(TestFiles::read(path("cache._tm")), QByteArray("BM"));
    QVERIFY(!save.commit()); // nothing left to commit
}

void TestSafeSave::copiesAnotherFileWhole_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("synced");
    QTest::addColumn<bool>("fromPipe"); // a source the system cannot copy from directly
    // Around the buffer of the slow road, and past the step at which an
    // unsynced file is handed to the disk.
    for (const qint64 size : {qint64(0), qint64(1), qint64(1 << 20) + 1, qint64(9 << 20)}) {
        QTest::addRow("%lld bytes, synced", size) << size << true << false;
        QTest::addRow("%lld bytes, unsynced", size) << size << false << false;
    }
    QTest::addRow("from a pipe") << qint64(200 * 1024) << true << true;
}

void TestSafeSave::copiesAnotherFileWhole()
{
    QFETCH(qint64, size);
    QFETCH(bool, synced);
    QFETCH(bool, fromPipe);
    QByteArray content(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        content[i] = char(i * 7 + i / 4096);
    QVERIFY(TestFiles::write(path("main_t.dds"), "old main texture"));

    QFile from;
#ifndef Q_OS_WIN
    int ends[2] = {-1, -1};
    pid_t writer = -1;
    if (fromPipe) {
        QVERIFY(::pipe(ends) == 0);
        // The writer feeds the pipe while the copy reads it.
        writer = fork();
        if (writer == 0) {
            ::close(ends[0]);
            const bool all = ::write(ends[1], content.constData(), size_t(size)) == size;
            _exit(all ? 0 : 1);
        }
        ::close(ends[1]);
        QVERIFY(from.open(ends[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    }
#else
    if (fromPipe)
        QSKIP("pipes are a Unix source");
#endif
    if (!fromPipe) {
        QVERIFY(TestFiles::write(path("paint.dds"), content));
        from.setFileName(path("paint.dds"));
        QVERIFY(from.open(QIODevice::ReadOnly));
    }

    SafeSave::Options options;
    options.syncToDisk = synced;
    SafeSave save(path("main_t.dds"), options);
    QVERIFY(save.open());
    // What is written before and after the copy keeps its place.
    QVERIFY(save.write("head"));
    const PaintResult copied = save.writeFrom(from);
    QVERIFY2(copied, qPrintable(copied.reason));
    QVERIFY(save.write("tail"));
    QVERIFY(save.commit());
    QCOMPARE(TestFiles::read(path("main_t.dds")), "head" + content + "tail");
#ifndef Q_OS_WIN
    int status = -1;
    if (fromPipe)
        QVERIFY(::waitpid(writer, &status, 0) == writer && WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
}

void TestSafeSave::temporaryFilesCarryTheirOwnName_data()
{
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("name");
    const QString longest = QString(251, u'n') + ".dds"; // 255 bytes, all a file name may have
    QTest::newRow("replacing") << true << "P51.pnt";
    QTest::newRow("keeping") << false << "P51_t.dds.bak";
    QTest::newRow("replacing, longest name") << true << longest;
    QTest::newRow("keeping, longest name") << false << longest;
}

void TestSafeSave::temporaryFilesCarryTheirOwnName()
{
    QFETCH(bool, replace);
    QFETCH(QString, name);
#ifdef Q_OS_WIN
    if (name.size() > 200)
        QSKIP("a whole path is held to 260 characters here");
#endif
    SafeSave::Options options;
    options.replaceExisting = replace;
    SafeSave save(path(name), options);
    const PaintResult opened = save.open();
    QVERIFY2(opened, qPrintable(opened.line()));
    QVERIFY(save.write("texture"));
    const QStringList during = entries();
    QCOMPARE(during.size(), 1);
    QVERIFY2(SafeSave::isTemporaryName(during.first()), qPrintable(during.first()));
    const PaintResult committed = save.commit();
    QVERIFY2(committed, qPrintable(committed.line()));
    QCOMPARE(entries(), QStringList{name});
}

void TestSafeSave::recognisesOnlyItsOwnTemporaryNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ours");
    QTest::newRow("ours") << ".corvane-a1B2c3.tmp" << true;
    QTest::newRow("a player's look-alike") << "corvane-a1B2c3.tmp" << false;
    QTest::newRow("longer") << ".corvane-a1B2c3d.tmp" << false;
    QTest::newRow("another program's") << ".P51.pnt.a1B2c3" << false;
    QTest::newRow("a texture") << ".corvane-a1B2c3.dds" << false;
}

void TestSafeSave::recognisesOnlyItsOwnTemporaryNames()
{
    QFETCH(QString, name);
    QFETCH(bool, ours);
    QCOMPARE(SafeSave::isTemporaryName(name), ours);
}

QTEST_GUILESS_MAIN(TestSafeSave)
#include "tst_SafeSave.moc"
