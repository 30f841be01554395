// The first selection of an aircraft with many paints of one size, as the
// window makes it: load the list and find the row holding the main texture's
// content (the bold mark). Its peer, measured in the same run, is reading the
// two files that must be read in full anyway: the main texture and the paint
// that matches it. The limit is twice the peer.
//   bench_installed_mark [paints] [rounds]
// Paints are 4096 x 4096 DXT5 with their mipmaps (22 MiB each), all of one
// size, the main texture a copy of one of them and the backup another
// texture. Figures are given with the files in the system's cache (moving
// through the aircraft again) and, on Linux, dropped from it first (the first
// selection after a start).
#include "Hangar.h"
#include "../common/MipmappedDds.h"
#include "InstalledPaint.h"
#include "PaintListFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 TextureBytes = 128 + 4096LL * 4096 * 4 / 3; // DXT5 with mipmaps, about 22 MiB
constexpr double Limit = 2.0;

// Texture blocks that differ from one paint to the next from the first
// block on, as two paints' pixels do.
void writeTexture(const QString &path, quint64 seed)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(mipmappedDdsHeader(4096, 13, "DXT5"));
    QByteArray block(4 * 1024 * 1024, Qt::Uninitialized);
    quint64 state = seed * 0x9E3779B97F4A7C15ULL + 1;
    for (qint64 left = TextureBytes - 128; left > 0;) {
        auto *words = reinterpret_cast<quint64 *>(block.data());
        for (qsizetype i = 0; i < block.size() / 8; ++i) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            words[i] = state;
        }
        const qint64 now = std::min<qint64>(left, block.size());
        if (file.write(block.constData(), now) != now)
            qFatal("cannot write %s: %s", qPrintable(path), qPrintable(file.errorString()));
        left -= now;
    }
}

void dropFromCache(const QStringList &paths)
{
#ifdef Q_OS_LINUX
    for (const QString &path : paths) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        if (fd >= 0) {
            ::fdatasync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
#else
    Q_UNUSED(paths);
#endif
}

qint64 readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    qint64 total = 0;
    for (QByteArray block; !(block = file.read(1024 * 1024)).isEmpty();)
        total += block.size();
    return total;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int paintCount = argc > 1 ? std::max(2, atoi(argv[1])) : 40;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 9;
    const int matching = paintCount * 2 / 3;

    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-installed-mark-XXXXXX"));
    const QString game = dir.path() + QStringLiteral("/");
    const QString folder = game + QStringLiteral("Aircraft/P51/");
    QDir().mkpath(folder);
    QElapsedTimer made;
    made.start();
    QFile(folder + "P51.xdp").open(QIODevice::WriteOnly);
    QList<PaintEntry> paints;
    QStringList all;
    for (int i = 0; i < paintCount; ++i) {
        const QByteArray name = "paint" + QByteArray::number(i) + ".dds";
        paints.append({"Squadron " + QByteArray::number(i), name});
        writeTexture(folder + QString::fromLatin1(name), i + 1);
        all << folder + QString::fromLatin1(name);
    }
    writeTexture(folder + "P51_t.dds", matching + 1);
    writeTexture(folder + "P51_t.dds.bak", 999);
    all << folder + "P51_t.dds" << folder + "P51_t.dds.bak";
    QFile list(folder + "P51.pnt");
    if (!list.open(QIODevice::WriteOnly) || list.write(PaintListFile::fullForm("P51", "P51_t.dds", paints)) <= 0)
        qFatal("cannot write the paint list");
    list.close();
    std::printf("%d paints of %.1f MiB, the main texture a copy of paint %d; made in %.1f s\n", paintCount,
                TextureBytes / 1048576.0, matching, made.elapsed() / 1000.0);

    const QString mainTexture = folder + "P51_t.dds";
    const QString match = all.at(matching);
    auto markOfFirstSelection = [&] {
        Hangar hangar(game);
        hangar.scan(Hangar::ListCreation::ReadOnly);
        QElapsedTimer clock;
        clock.start();
        if (!hangar.select(0))
            qFatal("the aircraft cannot be selected");
        const std::optional<int> row = hangar.installedRow();
        const double ms = clock.nsecsElapsed() / 1e6;
        if (row != 2 + matching)
            qFatal("the mark is on row %d, not %d", row.value_or(-1), 2 + matching);
        return ms;
    };
    auto readingTheTwoFiles = [&] {
        QElapsedTimer clock;
        clock.start();
        if (readWhole(mainTexture) + readWhole(match) != 2 * TextureBytes)
            qFatal("short read");
        return clock.nsecsElapsed() / 1e6;
    };

    InstalledPaint probe;
    QStringList candidates{folder + "P51_t.dds.bak"};
    candidates << all.mid(0, paintCount);
    probe.find(folder, mainTexture, candidates);
    std::printf("bytes read for the mark: %.1f MiB (the two files: %.1f MiB, all files: %.1f MiB)\n",
                probe.bytesReadByLastFind() / 1048576.0, 2 * TextureBytes / 1048576.0,
                (paintCount + 2) * TextureBytes / 1048576.0);

    bool withinLimit = true;
    for (const bool cold : {false, true}) {
#ifndef Q_OS_LINUX
        if (cold)
            break;
#endif
        QList<double> mark, peer;
        for (int round = 0; round < rounds; ++round) {
            if (cold)
                dropFromCache(all);
            mark << markOfFirstSelection();
            if (cold)
                dropFromCache(all);
            peer << readingTheTwoFiles();
        }
        const double ratio = median(mark) / median(peer);
        const double bestRatio = *std::min_element(mark.cbegin(), mark.cend()) / *std::min_element(peer.cbegin(), peer.cend());
        withinLimit &= ratio <= Limit;
        std::printf("%s: first selection's mark %.1f ms, reading the two files %.1f ms (medians of %d): "
                    "%.2fx, limit %.1fx %s (best of each: %.2fx)\n",
                    cold ? "files not cached" : "files cached", median(mark), median(peer), rounds, ratio, Limit,
                    ratio <= Limit ? "ok" : "OVER", bestRatio);
    }
    return withinLimit ? 0 : 1;
}
