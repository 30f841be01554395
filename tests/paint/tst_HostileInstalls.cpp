// Downloads made to cost more than they show, to lock the player out of an
// aircraft or to pass for its original: each is installed (or refused) with
// nothing outside the aircraft touched and nothing half-written inside.
#include "LoadedLists.h"
#include "AircraftScanner.h"
#include "HostileDownload.h"
#include "InstallPlan.h"
#include "PaintListFile.h"
#include "PaintTable.h"
#include "TestArchive.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using TestArchive::Entry;
using Setup = std::function<void(HostileDownload &)>;
Q_DECLARE_METATYPE(Setup)

namespace {

const QByteArray texture = "DDS a texture";

struct Outcome
{
    QString told; // everything the player is told, one line each
    QList<AircraftInstallResult> results;
};

Outcome install(HostileDownload &d, const QString &download, const PaintArchive::Limits &limits = {})
{
    const QList<AircraftEntry> aircraft = AircraftScanner().scanAircraft(d.game + "Aircraft/");
    const InstallPlan plan = planInstall({{download}, 0, {}}, aircraft, limits);
    QStringList told;
    for (const PaintResult &refusal : plan.refused)
        told << refusal.line();
    for (const SkippedEntry &skipped : plan.skipped)
        told << skipped.source + ": " + skipped.reason;
    Outcome outcome;
    outcome.results = carryOut(plan, aircraft, limits);
    for (const AircraftInstallResult &result : outcome.results) {
        told << result.notes;
        for (const PaintResult &problem : result.problems)
            told << problem.line();
    }
    outcome.told = told.join('\n');
    return outcome;
}

QString archiveIn(HostileDownload &d, const QString &name, TestArchive::Format format, const QList<Entry> &entries)
{
    const QString path = d.outside + name;
    TestArchive::write(path, format, entries);
    d.rememberOutside();
    return path;
}

QStringList listedRows(HostileDownload &d)
{
    QStringList rows;
    const std::optional<PaintListContents> list = loadedList(d.list());
    for (const PaintEntry &paint : list ? list->paints : QList<PaintEntry>())
        rows << QString::fromUtf8(paint.name + "=" + paint.texture);
    return rows;
}

} // namespace

class HostileInstallsTest : public QObject
{
    Q_OBJECT

private slots:
    void downloadsAreJudgedBeforeAnythingIsWritten_data()
    {
        QTest::addColumn<QList<Entry>>("entries");
        QTest::addColumn<int>("format");
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("told");        // a line the player reads; empty: told nothing
        QTest::addColumn<QStringList>("newRows"); // "name=file" rows the list gains
        QTest::addColumn<QStringList>("newFiles");

        const int zip = int(TestArchive::Format::Zip), sevenZip = int(TestArchive::Format::SevenZip);
        const Setup asIs = [](HostileDownload &) {};
        QList<Entry> filler{{"P51/red.dds", texture}};
        for (int i = 0; i < 12; ++i)
            filler.append({"filler" + QByteArray::number(i) + ".bin", QByteArray(1 << 20, '\0')});
        const QString tooMuchWork = "unpacks to more than 6 MiB in all (skipped entries included)";
        QTest::newRow("solid 7z of skipped filler") << filler << sevenZip << asIs << tooMuchWork
                                                    << QStringList() << QStringList();
        QTest::newRow("zip of skipped filler") << filler << zip << asIs << tooMuchWork << QStringList()
                                               << QStringList();
        QTest::newRow("filler within the limit") << filler.mid(0, 5) << sevenZip << asIs << QString("filler3.bin: not a texture")
                                                 << QStringList{"Red=Red.dds"} << QStringList{"Red.dds"};

        for (const char *device : {"CON.dds", "nul.dds", "COM1.dds", "aux.DDS", "LPT9.dds", "Prn.tga"}) {
            QTest::newRow(device) << QList<Entry>{{"P51/" + QByteArray(device), texture}} << zip << asIs
                                  << QString("a name Windows keeps for a device") << QStringList() << QStringList();
        }
        QTest::newRow("COM10 is no device") << QList<Entry>{{"P51/COM10.dds", texture}} << zip << asIs << QString()
                                            << QStringList{"COM10=COM10.dds"} << QStringList{"COM10.dds"};

        const QList<Entry> fake{{"Silver Bird/P51_t.dds", texture}};
        QTest::newRow("named like the main texture") << fake << zip << asIs << QString("named like the main texture")
                                                     << QStringList{"Silver Bird=Silver_Bird.dds"}
                                                     << QStringList{"Silver_Bird.dds"};
        QTest::newRow("named like the missing main texture")
            << fake << zip << Setup([](HostileDownload &d) {
                   QFile::remove(d.aircraft + "P51_t.dds");
                   QFile::remove(d.aircraft + "P51_t.dds.bak");
                   d.rememberAircraft();
               })
            << QString("which is missing: it was installed as the paint \"Silver Bird\", not as the original")
            << QStringList{"Silver Bird=Silver_Bird.dds"} << QStringList{"Silver_Bird.dds"};
        QTest::newRow("named like the main texture in other letter case")
            << QList<Entry>{{"Silver Bird/p51_T.DDS", texture}} << zip << asIs
            << QString("named like the main texture") << QStringList{"Silver Bird=Silver_Bird.dds"}
            << QStringList{"Silver_Bird.dds"};
        QTest::newRow("named like a main texture the list names elsewhere")
            << QList<Entry>{{"Gold/skin.dds", texture}} << zip << Setup([](HostileDownload &d) {
                   d.write("P51.pnt", TestGame::paintList("P51", "maps\\skin.dds", {}));
               })
            << QString("named like the main texture") << QStringList{"Gold=Gold.dds"} << QStringList{"Gold.dds"};

        const QByteArray longStem(252, 'n');
        // The file is named after the paint, in a name short enough for any file system.
        QTest::newRow("a name too long for the file system")
            << QList<Entry>{{longStem + ".dds", texture}} << zip << asIs << QString()
            << QStringList{QString("N" + longStem.mid(1) + "=N" + longStem.left(63) + ".dds")}
            << QStringList{QString("N" + longStem.left(63) + ".dds")};

        // A list just under the limit, and an install that would push it over.
        QList<QPair<QByteArray, QByteArray>> rows;
        for (int i = 0; i < 3400; ++i)
            rows.append({QByteArray(250, 'r'), "desert.dds"});
        QList<Entry> many;
        for (int i = 0; i < 120; ++i)
            many.append({"P51/" + QByteArray(200, 'm') + QByteArray::number(i) + ".dds", texture + QByteArray::number(i)});
        QTest::newRow("a list that would outgrow the reader")
            << many << zip << Setup([rows](HostileDownload &d) {
                   d.write("P51.pnt", TestGame::paintList("P51", "P51_t.dds", rows));
               })
            << QString("KiB, past the 1024 KiB Corvane reads back; nothing was installed for this aircraft.")
            << QStringList() << QStringList();
    }

    void downloadsAreJudgedBeforeAnythingIsWritten()
    {
        QFETCH(QList<Entry>, entries);
        QFETCH(int, format);
        QFETCH(Setup, setup);
        QFETCH(QString, told);
        QFETCH(QStringList, newRows);
        QFETCH(QStringList, newFiles);
        HostileDownload d;
        setup(d);
        const QStringList rowsBefore = listedRows(d);
        const QString download = archiveIn(d, format == int(TestArchive::Format::Zip) ? "paint.zip" : "paint.7z",
                                           TestArchive::Format(format), entries);
        PaintArchive::Limits limits;
        limits.unpackedBytes = 8 << 20;
        limits.unpackedFloor = 6 << 20; // these archives are tiny: the floor is the limit

        const Outcome outcome = install(d, download, limits);
        if (told.isEmpty())
            QVERIFY2(outcome.told.isEmpty(), qPrintable(outcome.told));
        else
            QVERIFY2(outcome.told.contains(told), qPrintable(outcome.told));
        QCOMPARE(listedRows(d), rowsBefore + newRows);
        QStringList mayChange = newFiles;
        if (!newRows.isEmpty())
            mayChange << "P51.pnt";
        QCOMPARE(d.aircraftChanges(mayChange), QString());
        for (const QString &file : newFiles)
            QVERIFY2(QFileInfo(d.aircraft + file).isFile(), qPrintable(file));
        QCOMPARE(d.outsideChanges(), QString());
        // A main texture that was missing stays missing, with no backup made.
        if (!QFile::exists(d.aircraft + "P51_t.dds"))
            QVERIFY(!QFile::exists(d.aircraft + "P51_t.dds.bak"));
    }

    void anAddNeverWritesAListTheReaderRefuses_data()
    {
        QTest::addColumn<qint64>("room"); // bytes the list leaves below the limit
        QTest::addColumn<bool>("saved");
        QTest::newRow("well under") << qint64(300000) << true;
        QTest::newRow("the add would pass the limit") << qint64(0) << false;
    }

    void anAddNeverWritesAListTheReaderRefuses()
    {
        QFETCH(qint64, room);
        QFETCH(bool, saved);
        HostileDownload d;
        // The most rows that leave that room, found by halving.
        auto listOf = [](int rows) {
            return PaintListFile::fullForm("P51", "P51_t.dds", QList<PaintEntry>(rows, {QByteArray(250, 'r'), "desert.dds"}));
        };
        int fits = 0, tooMany = 5000;
        while (tooMany - fits > 1) {
            const int middle = (fits + tooMany) / 2;
            (listOf(middle).size() <= PaintListFile::MaxFileSize - room ? fits : tooMany) = middle;
        }
        d.write("P51.pnt", listOf(fits));
        std::optional<PaintTable> table = loadedTable(d.list());
        QVERIFY(table);
        table->appendPaint(QByteArray(250, 'r'), "desert.dds"); // one row more than fits
        const PaintResult result = table->save(d.list(), "P51");
        const QString told = result.reason;
        QCOMPARE(result.ok, saved);
        if (!saved) {
            QVERIFY2(told.contains("The paint list of P51 would grow to 1025 KiB, past the 1024 KiB Corvane reads back"),
                     qPrintable(told));
            QCOMPARE(d.aircraftChanges(), QString());
        }
        QVERIFY(loadedList(d.list())); // always readable
    }

    void aDownloadChangedSincePlanningIsNotInstalled()
    {
        HostileDownload d;
        const QString zip = archiveIn(d, "paint.zip", TestArchive::Format::Zip, {{"P51/red.dds", texture}});
        const QList<AircraftEntry> aircraft = AircraftScanner().scanAircraft(d.game + "Aircraft/");
        const InstallPlan plan = planInstall({{zip}, 0, {}}, aircraft);
        QCOMPARE(plan.items.size(), 1);
        QVERIFY(TestArchive::write(zip, TestArchive::Format::Zip, {{"P51/red.dds", "DDS swapped meanwhile"}}));
        d.rememberOutside();
        const QList<AircraftInstallResult> results = carryOut(plan, aircraft);
        QVERIFY(results[0].added.isEmpty());
        QVERIFY2(linesOf(results[0].problems).contains("the download changed since it was read"),
                 qPrintable(linesOf(results[0].problems)));
        QCOMPARE(d.aircraftChanges(), QString());
    }

    void aWriteCutShortLeavesNoPartialTexture()
    {
#ifdef Q_OS_UNIX
        HostileDownload d;
        const QString zip = archiveIn(d, "paint.zip", TestArchive::Format::Zip,
                                      {{"P51/big.dds", "DDS " + QByteArray(256 * 1024, 'b')}, {"P51/small.dds", texture}});
        const QList<AircraftEntry> aircraft = AircraftScanner().scanAircraft(d.game + "Aircraft/");
        const InstallPlan plan = planInstall({{zip}, 0, {}}, aircraft);
        QList<AircraftInstallResult> results;
        {
            // Writes past 64 KiB fail, as on a full disk.
            rlimit saved{};
            getrlimit(RLIMIT_FSIZE, &saved);
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit = saved;
            limit.rlim_cur = 64 * 1024;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
            results = carryOut(plan, aircraft);
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, oldHandler);
        }
        QCOMPARE(results[0].added, QStringList{"Small"});
        QVERIFY2(linesOf(results[0].problems).contains("P51/big.dds: File too large"),
                 qPrintable(linesOf(results[0].problems)));
        QCOMPARE(d.aircraftChanges({"P51.pnt", "Small.dds"}), QString());
#else
        QSKIP("needs a limit on file sizes");
#endif
    }

    void whatIsNoFileIsToldForWhatItIs_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("told");
        // A folder is read as an unpacked download; an empty one says so.
        QTest::newRow("empty folder") << "folder" << "paint.zip holds no files";
        QTest::newRow("missing") << "missing" << "does not exist";
#ifdef Q_OS_UNIX
        QTest::newRow("pipe") << "pipe" << "is not a regular file (a pipe, socket or device)";
        QTest::newRow("name not UTF-8") << "bytes" << "its name cannot be read: it is not valid UTF-8";
#endif
        QTest::newRow("damaged archive") << "damaged" << "was refused: it is damaged (";
    }

    void whatIsNoFileIsToldForWhatItIs()
    {
        QFETCH(QString, kind);
        QFETCH(QString, told);
        HostileDownload d;
        QString path = d.outside + "paint.zip";
        if (kind == "folder") {
            QDir().mkpath(path);
        } else if (kind == "damaged") {
            TestArchive::write(path, TestArchive::Format::Zip, {{"red.dds", "DDS " + QByteArray(5000, 'x')}});
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(file.size() / 2));
        }
#ifdef Q_OS_UNIX
        if (kind == "pipe") {
            ::mkfifo(QFile::encodeName(path).constData(), 0600);
        } else if (kind == "bytes") {
            const QByteArray raw = QFile::encodeName(d.outside) + "paint\xff.dds";
            ::close(::open(raw.constData(), O_CREAT | O_WRONLY, 0600));
            path = QFile::decodeName(raw); // what the command line would be handed
        }
#endif
        d.rememberOutside();
        const Outcome outcome = install(d, path);
#ifdef Q_OS_UNIX
        if (kind == "bytes")
            ::unlink((QFile::encodeName(d.outside) + "paint\xff.dds").constData()); // beyond QTemporaryDir's reach
#endif
        QVERIFY2(outcome.told.contains(told), qPrintable(outcome.told));
        QVERIFY2(!outcome.told.contains("()"), qPrintable(outcome.told));
        QCOMPARE(d.aircraftChanges(), QString());
    }
};

QTEST_GUILESS_MAIN(HostileInstallsTest)
#include "tst_HostileInstalls.moc"
