// Times the aircraft scan over 1000 aircraft that already have paint lists
// (warm file cache) and the load of one 50-paint list.
//   bench_scan [aircraft count]
#include "AircraftScanner.h"
#include "PaintListFile.h"
#include "PaintTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

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
    std::sort(ms.begin(), ms.end());
    return {ms.first(), ms.at(ms.size() / 2), ms.last()};
}

void print(const char *what, const Figures &f, double targetMs)
{
    std::printf("%-44s min %8.3f ms  median %8.3f ms  max %8.3f ms  (target < %g ms: %s)\n",
                what, f.min, f.median, f.max, targetMs, f.median < targetMs ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int aircraftCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;

    QTemporaryDir root;
    if (!root.isValid())
        qFatal("no temporary folder");
    const QString aircraftFolder = root.path() + "/Aircraft/";
    for (int i = 0; i < aircraftCount; ++i) {
        const QString name = QStringLiteral("AC%1").arg(i, 4, 10, QLatin1Char('0'));
        const QString folder = aircraftFolder + name + '/';
        QDir().mkpath(folder);
        writeFile(folder + name + ".xdp", "<aircraft/>\r\n");
        writeFile(folder + name + "_t.dds", QByteArray(128, 'D'));
        writeFile(folder + name + ".pnt",
                  PaintListFile::fullForm(name.toLatin1(), (name + "_t.dds").toLatin1(), paints(3)));
    }

    // Paint lists for a second set of aircraft are created by their first scan.
    const QString freshFolder = root.path() + "/Fresh/";
    for (int i = 0; i < aircraftCount; ++i) {
        const QString name = QStringLiteral("NEW%1").arg(i, 4, 10, QLatin1Char('0'));
        QDir().mkpath(freshFolder + name);
        writeFile(freshFolder + name + '/' + name + ".xdp", "<aircraft/>\r\n");
        writeFile(freshFolder + name + '/' + name + "_t.dds", QByteArray(128, 'D'));
    }

    const AircraftScanner scanner;
    QElapsedTimer creation;
    creation.start();
    const qsizetype created = scanner.scanAircraft(freshFolder).size();
    const double creationMs = creation.nsecsElapsed() / 1e6;

    qsizetype listed = 0;
    scanner.scanAircraft(aircraftFolder); // warm the file cache
    const Figures scan = timeRuns(20, [&] { listed = scanner.scanAircraft(aircraftFolder).size(); });

    const QString bigList = aircraftFolder + "AC0000/AC0000.pnt";
    writeFile(bigList, PaintListFile::fullForm("AC0000", "AC0000_t.dds", paints(50)));
    PaintTable::load(bigList);
    qsizetype rows = 0;
    const Figures load = timeRuns(1000, [&] { rows = PaintTable::load(bigList)->rowCount(); });
    const Figures parse = timeRuns(1000, [&] { PaintListFile::load(bigList); });

    std::printf("aircraft listed per scan: %lld, paint table rows: %lld\n",
                static_cast<long long>(listed), static_cast<long long>(rows));
    print(qPrintable(QStringLiteral("scan of %1 aircraft with lists").arg(aircraftCount)), scan, 100);
    print("load of a 50-paint list (with backup test)", load, 1);
    print("read of a 50-paint list (values only)", parse, 1);
    std::printf("first scan creating %lld paint lists: %.3f ms (one run, no target)\n",
                static_cast<long long>(created), creationMs);
    return listed == aircraftCount && rows == 52 ? 0 : 1;
}
