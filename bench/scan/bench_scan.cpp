// The aircraft scan as the player waits for it, through the real scanner:
// the first scan that creates every paint list, beside a plain program that
// writes the same files and syncs once (same run, alternating, fresh folders
// each round); the scan of aircraft that already have lists; and the load of
// one 50-paint list; and, when strace is installed, the system calls of one
// scan of aircraft with lists, per aircraft.
//   bench_scan [aircraft count] [rounds]
//   bench_scan scan FOLDER RUNS     scans FOLDER RUNS times (what strace counts)
#include "AircraftScanner.h"
#include "PaintListFile.h"
#include "PaintTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QList<PaintEntry> paints(int count)
{
    QList<PaintEntry> result;
    for (int i = 1; i <= count; ++i)
        result.append({"Squadron paint number " + QByteArray::number(i),
                       "paint_" + QByteArray::number(i) + ".dds"});
    return result;
}

struct Figures
{
    double min, median, max;
};

Figures figuresOf(QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms.first(), ms.at(ms.size() / 2), ms.last()};
}

template<typename Run>
Figures timeRuns(int runs, Run run)
{
    QList<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        run();
        ms.append(clock.nsecsElapsed() / 1e6);
    }
    return figuresOf(ms);
}

void print(const char *what, const Figures &f, double targetMs)
{
    std::printf("%-44s min %8.3f ms  median %8.3f ms  max %8.3f ms  (target < %g ms: %s)\n",
                what, f.min, f.median, f.max, targetMs, f.median < targetMs ? "met" : "MISSED");
}

QString aircraftName(const char *prefix, int i)
{
    return QStringLiteral("%1%2").arg(QLatin1StringView(prefix)).arg(i, 4, 10, QLatin1Char('0'));
}

// Aircraft folders with a definition and a default main texture each.
void makeAircraft(const QString &folder, const char *prefix, int count)
{
    for (int i = 0; i < count; ++i) {
        const QString name = aircraftName(prefix, i);
        QDir().mkpath(folder + name);
        writeFile(folder + name + '/' + name + ".xdp", "<aircraft/>\r\n");
        writeFile(folder + name + '/' + name + "_t.dds", QByteArray(128, 'D'));
    }
}

void syncFileSystemOf(const QString &folder)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

// The plain program: the same lists, the same bytes, written and synced once.
void writeListsPlainly(const QString &folder, const char *prefix, int count)
{
    for (int i = 0; i < count; ++i) {
        const QString name = aircraftName(prefix, i);
        writeFile(folder + name + '/' + name + ".pnt",
                  PaintListFile::initialForm(name.toLatin1(), (name + "_t.dds").toLatin1()));
    }
    syncFileSystemOf(folder);
}

// The system calls `strace -c -f` counts in a run of this program scanning
// the folder `runs` times, or -1 without strace.
long long systemCallsOfScans(const QString &folder, int runs, const QString &summaryPath)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        return -1;
    QProcess process;
    process.start(strace, {"-c", "-f", "-o", summaryPath, QCoreApplication::applicationFilePath(), "scan", folder,
                           QString::number(runs)});
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        return -1;
    QFile summary(summaryPath);
    if (!summary.open(QIODevice::ReadOnly))
        return -1;
    // The "total" line: % time, seconds, usecs/call, calls, errors.
    for (const QByteArray &line : summary.readAll().split('\n')) {
        if (!line.trimmed().endsWith("total"))
            continue;
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5)
            return fields.at(3).toLongLong();
    }
    return -1;
}

void printSystemCalls(const QString &folder, int aircraftCount, const QString &scratch)
{
    // The difference of a run with three scans and one with a single scan:
    // starting the program counts in neither.
    const long long one = systemCallsOfScans(folder, 1, scratch + "/strace1.txt");
    const long long three = systemCallsOfScans(folder, 3, scratch + "/strace3.txt");
    if (one < 0 || three < 0) {
        std::printf("system calls per aircraft: not counted (needs strace: apt-get install strace)\n");
        return;
    }
    const double perAircraft = double(three - one) / 2.0 / aircraftCount;
    std::printf("system calls per aircraft in a scan with lists: %.1f (strace -c; target <= 15: %s)\n",
                perAircraft, perAircraft <= 15 ? "met" : "MISSED");
}

int scanOnly(const QString &folder, int runs)
{
    const AircraftScanner scanner;
    qsizetype listed = 0;
    for (int i = 0; i < runs; ++i)
        listed += scanner.scanAircraft(folder).size();
    return listed > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 3 && QByteArray(argv[1]) == "scan")
        return scanOnly(QString::fromLocal8Bit(argv[2]), std::max(1, std::atoi(argv[3])));
    const int aircraftCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    QTemporaryDir root;
    if (!root.isValid())
        qFatal("no temporary folder");
    const AircraftScanner scanner;

    QList<double> firstScans, plainWrites;
    qsizetype created = 0;
    for (int round = 0; round < rounds; ++round) {
        const QString scanned = root.path() + QStringLiteral("/Scan%1/").arg(round);
        const QString plain = root.path() + QStringLiteral("/Plain%1/").arg(round);
        makeAircraft(scanned, "NEW", aircraftCount);
        makeAircraft(plain, "NEW", aircraftCount);
        syncFileSystemOf(root.path()); // neither side pays for the set-up
        auto timeOne = [](auto run) {
            QElapsedTimer clock;
            clock.start();
            run();
            return clock.nsecsElapsed() / 1e6;
        };
        const bool plainFirst = round % 2 == 1;
        if (plainFirst)
            plainWrites.append(timeOne([&] { writeListsPlainly(plain, "NEW", aircraftCount); }));
        firstScans.append(timeOne([&] { created = scanner.scanAircraft(scanned).size(); }));
        if (!plainFirst)
            plainWrites.append(timeOne([&] { writeListsPlainly(plain, "NEW", aircraftCount); }));
    }

    const QString aircraftFolder = root.path() + "/Aircraft/";
    for (int i = 0; i < aircraftCount; ++i) {
        const QString name = aircraftName("AC", i);
        const QString folder = aircraftFolder + name + '/';
        QDir().mkpath(folder);
        writeFile(folder + name + ".xdp", "<aircraft/>\r\n");
        writeFile(folder + name + "_t.dds", QByteArray(128, 'D'));
        writeFile(folder + name + ".pnt",
                  PaintListFile::fullForm(name.toLatin1(), (name + "_t.dds").toLatin1(), paints(3)));
    }
    qsizetype listed = 0;
    scanner.scanAircraft(aircraftFolder); // warm the file cache
    const Figures scan = timeRuns(20, [&] { listed = scanner.scanAircraft(aircraftFolder).size(); });

    const QString bigList = aircraftFolder + "AC0000/AC0000.pnt";
    writeFile(bigList, PaintListFile::fullForm("AC0000", "AC0000_t.dds", paints(50)));
    PaintTable table;
    PaintTable::load(bigList, table);
    qsizetype rows = 0;
    const Figures load = timeRuns(1000, [&] {
        PaintTable::load(bigList, table);
        rows = table.rowCount();
    });
    PaintListContents contents;
    const Figures parse = timeRuns(1000, [&] { PaintListFile::load(bigList, contents); });

    const Figures first = figuresOf(firstScans), reference = figuresOf(plainWrites);
    const double ratio = first.median / reference.median;
    std::printf("first scan creating %lld paint lists: median %.1f ms (min %.1f, max %.1f) over %d rounds\n",
                static_cast<long long>(created), first.median, first.min, first.max, rounds);
    std::printf("plain program writing the same %d files and syncing once: median %.1f ms (min %.1f, max %.1f)\n",
                aircraftCount, reference.median, reference.min, reference.max);
    std::printf("first scan / plain program: %.2f (target <= 4: %s)\n", ratio, ratio <= 4 ? "met" : "MISSED");
    std::printf("aircraft listed per scan: %lld, paint table rows: %lld\n",
                static_cast<long long>(listed), static_cast<long long>(rows));
    print(qPrintable(QStringLiteral("scan of %1 aircraft with lists").arg(aircraftCount)), scan, 100);
    printSystemCalls(aircraftFolder, aircraftCount, root.path());
    print("load of a 50-paint list (with backup test)", load, 1);
    print("read of a 50-paint list (values only)", parse, 1);
    return listed == aircraftCount && created == aircraftCount && rows == 52 ? 0 : 1;
}
