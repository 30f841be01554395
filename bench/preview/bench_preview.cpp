// What a click on a paint row makes the player wait for in the preview: on a
// shown TThumbnail with BitmapSize 512, the empty name, then the path, until
// the repaint is done. bench_floor times what such a step cannot beat; it is a
// program of its own so that libsquish is not kept loaded here, where the
// preview loads and unloads it with the library for every picture.
//
//   bench_preview step FILE RUNS         prints "median min paints steady": milliseconds, paints per
//                                        step, the lowest of three medians
//   bench_preview browse FOLDER COUNT    shows COUNT textures of FOLDER in turn, prints the peak
//                                        resident size in MiB
//   bench_preview check FILE RUNS        prints the median of _Pic_Valid in microseconds

#include "MedianTime.h"
#include "TThumbnail.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

long statusKiB(const char *field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

int step(const QString &file, int runs)
{
    TThumbnail thumbnail;
    thumbnail.SetShowLabel(false);
    thumbnail.SetBitmapSize(512);
    thumbnail.show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    thumbnail.installEventFilter(&counter);

    // What the main window does per selection, until nothing is left to paint.
    const auto step = [&] {
        thumbnail.SetFileName(QString());
        thumbnail.SetFileName(file);
        QCoreApplication::processEvents();
    };
    const MedianTime whole = medianTime(runs, step);
    const double paintsPerStep = double(counter.paints) / (runs + 1);
    const double steady = steadyTime(runs, step);
    if (!thumbnail.HasPicture()) {
        std::fprintf(stderr, "no picture for %s\n", qPrintable(file));
        return 1;
    }
    std::printf("%.3f %.3f %.2f %.3f\n", whole.median, whole.min, paintsPerStep, steady);
    return 0;
}

int browse(const QString &folder, int count)
{
    const QStringList names = QDir(folder).entryList({"*.dds"}, QDir::Files, QDir::Name);
    if (names.isEmpty())
        return 1;
    TThumbnail thumbnail;
    thumbnail.SetShowLabel(false);
    thumbnail.SetBitmapSize(512);
    thumbnail.show();
    int shown = 0;
    for (int i = 0; i < count; ++i) {
        thumbnail.SetFileName(QString());
        thumbnail.SetFileName(QDir(folder).filePath(names[i % names.size()]));
        QCoreApplication::processEvents();
        shown += thumbnail.HasPicture() ? 1 : 0;
    }
    std::printf("%.1f %d\n", double(statusKiB("VmHWM:")) / 1024.0, shown);
    return shown == count ? 0 : 1;
}

int check(const QString &file, int runs)
{
    QLibrary korrad(QCoreApplication::applicationDirPath() + "/korrad");
    auto valid = reinterpret_cast<unsigned char (*)(const char *)>(korrad.resolve("_Pic_Valid"));
    if (!valid)
        return 1;
    const QByteArray path = QFile::encodeName(file);
    const MedianTime timing = medianTime(runs, [&] { valid(path.constData()); });
    std::printf("%.1f\n", timing.median * 1000);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s step FILE RUNS | browse FOLDER COUNT | check FILE RUNS\n",
                     argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const QByteArray command = argv[1];
    const QString path = QString::fromLocal8Bit(argv[2]);
    const int number = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
    if (command == "step")
        return step(path, number);
    if (command == "browse")
        return browse(path, number);
    if (command == "check")
        return check(path, number);
    return 2;
}
