#include "AircraftLock.h"
#include "AircraftScanner.h"
#include "FaultInjection.h"
#include "ScannedAircraft.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

using ScannedAircraft::initialForm;
using ScannedAircraft::titles;
using TestFiles::crlf;

namespace {

// Stands in for the player when no window is wanted: counts the questions
// and answers each with the given file.
struct RecordingQuestion
{
    QStringList asked;
    std::optional<QString> answer;

    AircraftScanner::MainTextureQuestion callback()
    {
        return [this](const QString &baseName, const QString &folder) {
            asked << baseName + '|' + folder;
            return answer;
        };
    }
};

} // namespace

class TestAircraftScanner : public QObject
{
    Q_OBJECT

private slots:
    void init();

    // Creating and reading paint lists
    void newListWhenDefaultTextureExists();
    void defaultTextureInOtherLetterCase();
    void existingListNeverRewritten();
    void upperCaseExtensionGivesLowerCasePnt();
    void listsWithoutValueLineLeftOut();
    void longTitleCut();

    // Which folders and files are looked at
    void listedInWindowsOrder();
    void aircraftFolderInAnyLetterCase();
    void twoDefinitionsInOneFolder();
    void eachAircraftToldAsListed();
    void dotFolderNeverLookedInto();
    void unreadableDefinitionSkipped_data();
    void unreadableDefinitionSkipped();
    void unreadableThingNamedLikeListIsKept();
    void missingAircraftFolder();

    // The player asked for the main texture
    void askedOnlyOnce();

    // Left-overs of saves cut short
    void leftOverTemporaryFilesRemoved_data();
    void leftOverTemporaryFilesRemoved();
    void folderWhoseNameCannotBeReadIsTold();

private:
    // Native, as the window hands folders to the scanner.
    QString aircraft() const { return QDir::toNativeSeparators(m_dir->path() + "/Aircraft/"); }
    QString file(const QString &name) const { return QDir::toNativeSeparators(aircraft() + name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestAircraftScanner::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(aircraft()));
}

void TestAircraftScanner::newListWhenDefaultTextureExists()
{
    QVERIFY(TestFiles::write(file("P51/P51.xdp"), "<xdp/>"));
    QVERIFY(TestFiles::write(file("P51/P51_t.dds"), "DDS "));
    RecordingQuestion question;
    const auto entries = AircraftScanner(question.callback()).scanAircraft(aircraft());
    QVERIFY(question.asked.isEmpty());
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.at(0).title, QStringLiteral("P51"));
    QCOMPARE(entries.at(0).rawTitle, QByteArray("P51"));
    QCOMPARE(entries.at(0).paintListPath, file("P51/P51.pnt"));
    QCOMPARE(TestFiles::read(file("P51/P51.pnt")), initialForm("P51", "P51_t.dds"));
}

void TestAircraftScanner::defaultTextureInOtherLetterCase()
{
    QVERIFY(TestFiles::write(file("Spit/Spitfire.xdp"), "x"));
    QVERIFY(TestFiles::write(file("Spit/SPITFIRE_T.DDS"), "DDS "));
    RecordingQuestion question;
    const auto entries = AircraftScanner(question.callback()).scanAircraft(aircraft());
    QVERIFY(question.asked.isEmpty());
    QCOMPARE(titles(entries), QStringList{"Spitfire"});
    QCOMPARE(TestFiles::read(file("Spit/Spitfire.pnt")), initialForm("Spitfire", "Spitfire_t.dds"));
}

void TestAircraftScanner::existingListNeverRewritten()
{
    QVERIFY(TestFiles::write(file("P51/P51.xdp"), "x"));
    const QByteArray list = crlf({";mine", "Mustang \xC4", "missing_t.dds", "##"});
    QVERIFY(TestFiles::write(file("P51/P51.pnt"), list));
    const QDateTime before = QFileInfo(file("P51/P51.pnt")).lastModified();
    RecordingQuestion question;
    const auto entries = AircraftScanner(question.callback()).scanAircraft(aircraft());
    QVERIFY(question.asked.isEmpty());
    QCOMPARE(titles(entries), QStringList{QString::fromUtf8("Mustang Ä")});
    QCOMPARE(entries.at(0).rawTitle, QByteArray("Mustang \xC4"));
    QCOMPARE(TestFiles::read(file("P51/P51.pnt")), list);
    QCOMPARE(QFileInfo(file("P51/P51.pnt")).lastModified(), before);
}

void TestAircraftScanner::upperCaseExtensionGivesLowerCasePnt()
{
    QVERIFY(TestFiles::write(file("Zero/A6M.XDP"), "x"));
    QVERIFY(TestFiles::write(file("Zero/A6M_t.dds"), "x"));
    const auto entries = AircraftScanner().scanAircraft(aircraft());
    QCOMPARE(titles(entries), QStringList{"A6M"});
    QCOMPARE(entries.at(0).paintListPath, file("Zero/A6M.pnt"));
    QCOMPARE(QDir(file("Zero")).entryList(QDir::Files, QDir::Name),
             (QStringList{"A6M.XDP", "A6M.pnt", "A6M_t.dds"}));
}

void TestAircraftScanner::listsWithoutValueLineLeftOut()
{
    const QByteArray comments = crlf({";only", ";comments"});
    const QByteArray endFirst = crlf({";c", "## end", "Title", "t.dds"});
    QVERIFY(TestFiles::write(file("A/A.xdp"), "x"));
    QVERIFY(TestFiles::write(file("A/A.pnt"), comments));
    QVERIFY(TestFiles::write(file("B/B.xdp"), "x"));
    QVERIFY(TestFiles::write(file("B/B.pnt"), endFirst));
    QVERIFY(TestFiles::write(file("C/C.xdp"), "x"));
    QVERIFY(TestFiles::write(file("C/C.pnt"), ""));
    RecordingQuestion question;
    const auto entries = AircraftScanner(question.callback()).scanAircraft(aircraft());
    QVERIFY(entries.isEmpty());
    QVERIFY(question.asked.isEmpty());
    QCOMPARE(TestFiles::read(file("A/A.pnt")), comments);
    QCOMPARE(TestFiles::read(file("B/B.pnt")), endFirst);
    QCOMPARE(TestFiles::read(file("C/C.pnt")), QByteArray());
}

void TestAircraftScanner::longTitleCut()
{
    const QByteArray title = QByteArray(250, 't') + "ABCDEFGHIJ";
    QVERIFY(TestFiles::write(file("L/L.xdp"), "x"));
    QVERIFY(TestFiles::write(file("L/L.pnt"), crlf({title, "l_t.dds"})));
    const auto entries = AircraftScanner().scanAircraft(aircraft());
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.at(0).rawTitle, title.left(254));
}

void TestAircraftScanner::listedInWindowsOrder()
{
    // Created in an order no file system sorts by; "AB" before "a_b" because
    // Windows compares upper-case forms, where "B" comes before "_".
    for (const QString name : {"Typhoon", "gladiator", "P-39", "a_b", "Il-2", "f6f5", "AB"})
        QVERIFY(TestFiles::write(file(name + '/' + name + ".xdp"), "x"));
    QVERIFY(TestFiles::write(file("Bf109/Bf109G.xdp"), "x"));
    QVERIFY(TestFiles::write(file("Bf109/bf109e.XDP"), "x"));
    const auto entries = AircraftScanner(RecordingQuestion().callback()).scanAircraft(aircraft());
    QCOMPARE(titles(entries), QStringList({"AB", "a_b", "bf109e", "Bf109G", "f6f5", "gladiator",
                                           "Il-2", "P-39", "Typhoon"}));
}

void TestAircraftScanner::aircraftFolderInAnyLetterCase()
{
#ifdef Q_OS_WIN
    QSKIP("the file system ignores letter case");
#endif
    const QString upper = m_dir->path() + "/AIRCRAFT/";
    QVERIFY(QDir().rename(aircraft(), upper));
    QVERIFY(TestFiles::write(upper + "P51/P51.xdp", "x"));
    const auto entries = AircraftScanner(RecordingQuestion().callback()).scanAircraft(aircraft());
    QCOMPARE(titles(entries), QStringList{"P51"});
    QCOMPARE(entries.at(0).paintListPath, upper + "P51/P51.pnt");
}

void TestAircraftScanner::twoDefinitionsInOneFolder()
{
    QVERIFY(TestFiles::write(file("Bf109/Bf109E.xdp"), "x"));
    QVERIFY(TestFiles::write(file("Bf109/Bf109G.xdp"), "x"));
    QVERIFY(TestFiles::write(file("Bf109/Bf109E_t.dds"), "x"));
    QVERIFY(TestFiles::write(file("Bf109/Bf109G_t.dds"), "x"));
    QVERIFY(TestFiles::write(file("Bf109/notes.txt"), "x"));
    QVERIFY(QDir().mkpath(file("Bf109/folder.xdp")));
    const auto entries = AircraftScanner().scanAircraft(aircraft());
    QCOMPARE(titles(entries), QStringList({"Bf109E", "Bf109G"}));
    QVERIFY(entries.at(0).paintListPath != entries.at(1).paintListPath);
    QVERIFY(QFileInfo::exists(file("Bf109/Bf109E.pnt")));
    QVERIFY(QFileInfo::exists(file("Bf109/Bf109G.pnt")));
}

void TestAircraftScanner::eachAircraftToldAsListed()
{
    for (const char *name : {"A/A", "B/B", "C/C"}) {
        QVERIFY(TestFiles::write(file(QString(name) + ".xdp"), "x"));
        QVERIFY(TestFiles::write(file(QString(name) + "_t.dds"), "x"));
    }
    QVERIFY(TestFiles::write(file("B/B.pnt"), ";comments only\r\n")); // not listed, so not told
    AircraftScanner scanner;
    QStringList told;
    scanner.onFound([&](const AircraftEntry &entry) {
        // Told once the list is written and read: the window may show it.
        QCOMPARE(TestFiles::read(entry.paintListPath).isEmpty(), false);
        told << entry.title;
    });
    const auto entries = scanner.scanAircraft(aircraft());
    QCOMPARE(told, titles(entries));
    QCOMPARE(told.size(), 2);
}

void TestAircraftScanner::dotFolderNeverLookedInto()
{
    QVERIFY(TestFiles::write(file(".proto/Proto.xdp"), "x"));
    QVERIFY(TestFiles::write(file(".proto/Proto.pnt"), crlf({"Proto", "p.dds"})));
    QVERIFY(TestFiles::write(file(".new/New.xdp"), "x"));
    RecordingQuestion question;
    const auto entries = AircraftScanner(question.callback()).scanAircraft(aircraft());
    QVERIFY(entries.isEmpty());
    QVERIFY(question.asked.isEmpty());
    QVERIFY(!QFileInfo::exists(file(".new/New.pnt")));
}

void TestAircraftScanner::unreadableDefinitionSkipped_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("said");
    QTest::newRow("dangling link") << "dangling link" << "is a link to a file that does not exist";
    QTest::newRow("no right to read") << "no right to read" << "Permission denied";
}

// Left out, asked nothing, written nothing, and the scan says why.
void TestAircraftScanner::unreadableDefinitionSkipped()
{
    QFETCH(QString, setup);
    QFETCH(QString, said);
#ifndef Q_OS_UNIX
    QSKIP("needs symbolic links and a user without rights");
#else
    const QString definition = file("Ghost/Ghost.xdp");
    QVERIFY(QDir().mkpath(file("Ghost")));
    if (setup == "dangling link") {
        QVERIFY(QFile::link(file("Ghost/nowhere.xdp"), definition));
    } else {
        QVERIFY(TestFiles::write(definition, "x"));
        QVERIFY(QFile::setPermissions(definition, QFileDevice::Permissions()));
        for (const QString &folder : {m_dir->path(), aircraft(), file("Ghost")})
            QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)));
    }
    const QString toldFile = m_dir->filePath("told.txt");
    const auto scan = [&] {
        RecordingQuestion question;
        QList<PaintResult> problems;
        const auto entries = AircraftScanner(question.callback()).scanAircraft(aircraft(), &problems);
        const bool leftAlone = entries.isEmpty() && question.asked.isEmpty() && !QFileInfo::exists(file("Ghost/Ghost.pnt"));
        return TestFiles::write(toldFile, (leftAlone ? linesOf(problems) : QString("scanned")).toUtf8()) ? 0 : 2;
    };
    QCOMPARE(setup == "dangling link" ? scan() : FaultInjection::asUnprivilegedUser(scan), 0);
    QCOMPARE(QString::fromUtf8(TestFiles::read(toldFile)), QDir::toNativeSeparators(definition) + " " + said);
#endif
}

void TestAircraftScanner::unreadableThingNamedLikeListIsKept()
{
    QVERIFY(TestFiles::write(file("P51/P51.xdp"), "x"));
    QVERIFY(TestFiles::write(file("P51/P51.pnt/inside.txt"), "player's"));
    RecordingQuestion question;
    const auto entries = AircraftScanner(question.callback()).scanAircraft(aircraft());
    QVERIFY(entries.isEmpty());
    QVERIFY(question.asked.isEmpty());
    QCOMPARE(TestFiles::read(file("P51/P51.pnt/inside.txt")), QByteArray("player's"));
}

void TestAircraftScanner::missingAircraftFolder()
{
    QVERIFY(AircraftScanner().scanAircraft(m_dir->path() + "/NoGame/Aircraft/").isEmpty());
    QVERIFY(AircraftScanner().scanAircraft(QString()).isEmpty());
}

void TestAircraftScanner::askedOnlyOnce()
{
    QVERIFY(TestFiles::write(file("Mossie/Mosquito.xdp"), "x"));
    RecordingQuestion question;
    question.answer = file("Mossie/Skin_t.dds");
    AircraftScanner scanner(question.callback());
    QCOMPARE(titles(scanner.scanAircraft(aircraft())), QStringList{"Mosquito"});
    QCOMPARE(titles(scanner.scanAircraft(aircraft())), QStringList{"Mosquito"});
    QCOMPARE(question.asked, QStringList{"Mosquito|" + file("Mossie/")});
    QCOMPARE(TestFiles::read(file("Mossie/Mosquito.pnt")), initialForm("Mosquito", "Skin_t.dds"));
}

void TestAircraftScanner::leftOverTemporaryFilesRemoved_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("writerAtWork");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("removed");
    QTest::newRow("old, no writer") << ".corvane-Ab12Cd.tmp" << 120 << false << false << true;
    QTest::newRow("just begun") << ".corvane-Ab12Cd.tmp" << 5 << false << false << false;
    QTest::newRow("old, writer at work") << ".corvane-Ab12Cd.tmp" << 120 << true << false << false;
    QTest::newRow("a scan that writes nothing") << ".corvane-Ab12Cd.tmp" << 120 << false << true << false;
    QTest::newRow("the player's look-alike") << "corvane-Ab12Cd.tmp" << 120 << false << false << false;
}

void TestAircraftScanner::leftOverTemporaryFilesRemoved()
{
    QFETCH(QString, name);
    QFETCH(int, ageSeconds);
    QFETCH(bool, writerAtWork);
    QFETCH(bool, readOnly);
    QFETCH(bool, removed);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->filePath("runtime")));
    QVERIFY(QDir().mkpath(m_dir->filePath("runtime")));
    QFile::setPermissions(m_dir->filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(TestFiles::write(file("P51/P51.xdp"), "<xdp/>"));
    QVERIFY(TestFiles::write(file("P51/P51_t.dds"), "DDS "));
    QVERIFY(TestFiles::write(file("P51/" + name), QByteArray(3000, 'x')));
    QFile leftover(file("P51/" + name));
    QVERIFY(leftover.open(QIODevice::ReadWrite));
    QVERIFY(leftover.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-ageSeconds),
                                 QFileDevice::FileModificationTime));
    leftover.close();

    // A writer in another thread holds the aircraft's lock, as another
    // Corvane would.
    std::atomic<bool> held = false, done = false;
    QThread *writer = QThread::create([&] {
        AircraftLock lock(file("P51/"));
        held = lock.acquire(0);
        while (!done)
            QThread::msleep(5);
    });
    if (writerAtWork) {
        writer->start();
        while (!held && writer->isRunning())
            QThread::msleep(5);
        QVERIFY(held);
    }
    QList<PaintResult> problems;
    AircraftScanner({}, readOnly ? AircraftScanner::ListCreation::ReadOnly : AircraftScanner::ListCreation::CreateMissing)
        .scanAircraft(aircraft(), &problems);
    done = true;
    writer->wait();
    delete writer;

    QCOMPARE(!QFile::exists(file("P51/" + name)), removed);
    const QString told = linesOf(problems);
    if (removed)
        QVERIFY2(told.contains("held 1 temporary file(s) of 3 KiB in all") && told.contains(name), qPrintable(told));
    else
        QVERIFY2(!told.contains("temporary"), qPrintable(told));
}

void TestAircraftScanner::folderWhoseNameCannotBeReadIsTold()
{
#ifdef Q_OS_WIN
    QSKIP("Windows names are always text");
#else
    const QByteArray raw = QFile::encodeName(aircraft()) + "Caf\xe9";
    QCOMPARE(::mkdir(raw.constData(), 0700), 0);
    QVERIFY(TestFiles::write(file("P51/P51.xdp"), "<xdp/>"));
    QList<PaintResult> problems;
    const auto entries = AircraftScanner().scanAircraft(aircraft(), &problems);
    QCOMPARE(titles(entries), QStringList{"P51"});
    QVERIFY2(linesOf(problems).contains("Caf\\xE9 has a name that cannot be read (it is not valid UTF-8)"),
             qPrintable(linesOf(problems)));
    ::rmdir(raw.constData());
#endif
}

QTEST_GUILESS_MAIN(TestAircraftScanner)
#include "tst_AircraftScanner.moc"
