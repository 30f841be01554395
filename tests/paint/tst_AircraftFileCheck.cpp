#include "AircraftFileCheck.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

// Every case is a piece of a stranger's download: the aircraft folder
// Aircraft/P51/ of a temporary game, with a folder Outside/ beside the game's
// aircraft that no check may ever let through.
class TestAircraftFileCheck : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void verdicts_data();
    void verdicts();
    void deviceNodeIsRefused();
    void messageNamesFileAndReason();
    void missingAircraftFolderRefusesEverything();
    void entryExistsSeesDanglingLinks();

private:
    QString aircraft() const { return m_dir->filePath("Aircraft/P51/"); }
    QString outside() const { return m_dir->filePath("Outside/"); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestAircraftFileCheck::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(TestFiles::write(aircraft() + "P51_t.dds", "original"));
    QVERIFY(TestFiles::write(aircraft() + "skins/red.dds", "red"));
    QVERIFY(TestFiles::write(outside() + "secret.dds", "secret"));
}

#ifdef Q_OS_WIN
// QFile::link makes shortcuts there, which are ordinary files to the check;
// links the file system follows need privileges a test run does not have.
constexpr const char *noLinks = "needs links the file system follows";
#endif

using Setup = std::function<void(const QString &aircraft, const QString &outside)>;
Q_DECLARE_METATYPE(Setup)

namespace {
void link(const QString &target, const QString &linkPath)
{
    QDir().mkpath(QFileInfo(linkPath).path());
    QVERIFY(QFile::link(target, linkPath));
}
} // namespace

void TestAircraftFileCheck::verdicts_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("name");           // under the aircraft folder
    QTest::addColumn<QString>("readRefusal");    // empty: reading is allowed
    QTest::addColumn<QString>("writeRefusal");   // empty: writing is allowed
    QTest::addColumn<QString>("realName");       // what an allowed path opens

    const Setup nothing;
    const QString outsideLink = "is a link to a file outside the aircraft folder";
    const QString dangling = "is a link to a file that does not exist";
    const QString notRegular = "is not a regular file";
    const QString outsideFolder = "lies outside the aircraft folder";

    QTest::newRow("regular file") << nothing << "P51_t.dds" << "" << "" << "P51_t.dds";
    QTest::newRow("file in a subfolder") << nothing << "skins/red.dds" << "" << "" << "skins/red.dds";
    QTest::newRow("missing file") << nothing << "new.dds" << "does not exist" << "" << "new.dds";
    QTest::newRow("link inside")
        << Setup([](const QString &a, const QString &) { link(a + "skins/red.dds", a + "p.dds"); })
        << "p.dds" << "" << "" << "skins/red.dds";
    QTest::newRow("relative link inside")
        << Setup([](const QString &a, const QString &) { link("skins/red.dds", a + "p.dds"); })
        << "p.dds" << "" << "" << "skins/red.dds";
    QTest::newRow("link to outside file")
        << Setup([](const QString &a, const QString &o) { link(o + "secret.dds", a + "p.dds"); })
        << "p.dds" << outsideLink << outsideLink << "";
    QTest::newRow("link through a link to outside")
        << Setup([](const QString &a, const QString &o) {
               link(o + "secret.dds", a + "hop.dds");
               link(a + "hop.dds", a + "p.dds");
           })
        << "p.dds" << outsideLink << outsideLink << "";
    QTest::newRow("dangling link to outside")
        << Setup([](const QString &a, const QString &o) { link(o + "new.dds", a + "p.dds"); })
        << "p.dds" << dangling << dangling << "";
    QTest::newRow("dangling link inside")
        << Setup([](const QString &a, const QString &) { link(a + "gone.dds", a + "p.dds"); })
        << "p.dds" << dangling << dangling << "";
    QTest::newRow("linked subfolder leading outside")
        << Setup([](const QString &a, const QString &o) { link(o, a + "decals"); })
        << "decals/secret.dds" << outsideFolder << outsideFolder << "";
    QTest::newRow("new file in linked subfolder leading outside")
        << Setup([](const QString &a, const QString &o) { link(o, a + "decals"); })
        << "decals/new.dds" << "does not exist" << outsideFolder << "";
    QTest::newRow("linked subfolder inside")
        << Setup([](const QString &a, const QString &) { link(a + "skins", a + "more"); })
        << "more/red.dds" << "" << "" << "skins/red.dds";
    QTest::newRow("dot-dot in the name")
        << nothing << "../../Outside/secret.dds" << outsideFolder << outsideFolder << "";
    QTest::newRow("folder") << nothing << "skins" << notRegular << notRegular << "";
    QTest::newRow("link to a folder inside")
        << Setup([](const QString &a, const QString &) { link(a + "skins", a + "p.dds"); })
        << "p.dds" << notRegular << notRegular << "";
#ifndef Q_OS_WIN
    QTest::newRow("named pipe")
        << Setup([](const QString &a, const QString &) {
               QVERIFY(::mkfifo(QFile::encodeName(a + "p.dds").constData(), 0600) == 0);
           })
        << "p.dds" << notRegular << notRegular << "";
    QTest::newRow("link to an endless device")
        << Setup([](const QString &a, const QString &) { link("/dev/zero", a + "p.dds"); })
        << "p.dds" << outsideLink << outsideLink << "";
#endif
}

void TestAircraftFileCheck::verdicts()
{
    QFETCH(Setup, setup);
    QFETCH(QString, name);
    QFETCH(QString, readRefusal);
    QFETCH(QString, writeRefusal);
    QFETCH(QString, realName);
    if (setup) {
#ifdef Q_OS_WIN
        QSKIP(noLinks);
#endif
        setup(aircraft(), outside());
    }

    const QString path = aircraft() + name;
    const FileVerdict read = AircraftFileCheck::mayRead(aircraft(), path);
    const FileVerdict write = AircraftFileCheck::mayWrite(aircraft(), path);
    QCOMPARE(read.refusal, readRefusal);
    QCOMPARE(bool(read), readRefusal.isEmpty());
    QCOMPARE(write.refusal, writeRefusal);
    QCOMPARE(bool(write), writeRefusal.isEmpty());
    QCOMPARE(read.result.file, QDir::toNativeSeparators(path));
    QCOMPARE(write.result.file, QDir::toNativeSeparators(path));
    const QString realAircraft = QFileInfo(aircraft()).canonicalFilePath() + "/";
    if (read)
        QCOMPARE(read.realPath, realAircraft + realName);
    if (write)
        QCOMPARE(write.realPath, realAircraft + realName);
}

void TestAircraftFileCheck::deviceNodeIsRefused()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no device nodes");
#else
    const QByteArray node = QFile::encodeName(aircraft() + "P51_t.dds.bak");
    if (::mknod(node.constData(), S_IFCHR | 0600, makedev(1, 5)) != 0)
        QSKIP("making a device node needs privileges");
    QCOMPARE(AircraftFileCheck::mayRead(aircraft(), aircraft() + "P51_t.dds.bak").refusal,
             QString("is not a regular file"));
    QCOMPARE(AircraftFileCheck::mayWrite(aircraft(), aircraft() + "P51_t.dds.bak").refusal,
             QString("is not a regular file"));
#endif
}

void TestAircraftFileCheck::messageNamesFileAndReason()
{
#ifdef Q_OS_WIN
    QSKIP(noLinks);
#else
    QVERIFY(QFile::link(outside() + "secret.dds", aircraft() + "P51.pnt"));
    const FileVerdict verdict = AircraftFileCheck::mayRead(aircraft(), aircraft() + "P51.pnt");
    // Shown as it is, the reason alone reads whole: it names the file.
    QCOMPARE(verdict.result.message(), QDir::toNativeSeparators(aircraft() + "P51.pnt")
                                           + " is a link to a file outside the aircraft folder");
    QCOMPARE(verdict.result.line(), verdict.result.message());
#endif
}

void TestAircraftFileCheck::missingAircraftFolderRefusesEverything()
{
    const QString gone = m_dir->filePath("Aircraft/Gone/");
    QVERIFY(!AircraftFileCheck::mayRead(gone, gone + "a.dds"));
    QVERIFY(!AircraftFileCheck::mayWrite(gone, gone + "a.dds"));
    QVERIFY(!AircraftFileCheck::mayWrite(QString(), "a.dds"));
    QVERIFY(!AircraftFileCheck::mayWrite(aircraft(), QString()));
}

void TestAircraftFileCheck::entryExistsSeesDanglingLinks()
{
#ifdef Q_OS_WIN
    QSKIP(noLinks);
#else
    QVERIFY(QFile::link(aircraft() + "gone.dds", aircraft() + "P51_t.dds.bak"));
    QVERIFY(AircraftFileCheck::entryExists(aircraft() + "P51_t.dds.bak"));
    QVERIFY(AircraftFileCheck::entryExists(aircraft() + "skins"));
    QVERIFY(!AircraftFileCheck::entryExists(aircraft() + "nothing.dds"));
#endif
}

QTEST_GUILESS_MAIN(TestAircraftFileCheck)
#include "tst_AircraftFileCheck.moc"
