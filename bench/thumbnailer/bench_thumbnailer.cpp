// bench_thumbnailer [runs] [EARLIER_THUMBNAILER]
//
// What a file manager waits for per DDS paint: the thumbnail of a 2048 x 2048
// DXT1 texture with mipmaps at the "large" size, 256 pixels. Prints the work
// inside the program (loading the conversion library, decode, scale, PNG)
// against its limit, the whole run of
// the program as a file manager starts it, and ImageMagick doing the same job
// when it is installed. Given an earlier build of corvane-thumbnailer (run.sh
// builds one), runs it in turn with this one and prints the ratio of their
// times beside its limit, and the sizes of the PNG files each leaves. Times
// are processor time, so other work on the machine does not count.

#include "DdsThumbnail.h"
#include "DdsWriter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <sys/resource.h>
#include <time.h>

namespace {

constexpr double WorkLimitMs = 5.0;
constexpr double EarlierRatioLimit = 1.2;

// Fine detail everywhere, as a painted texture has, so the PNG costs what it
// costs on a real paint and not what a smooth test picture costs.
ddstest::RgbaImage detailedPicture(std::uint32_t side)
{
    ddstest::RgbaImage image(side, side);
    std::uint32_t state = 2463534242u;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        if (i % 4 != 3) // opaque, or DXT1 would store holes
            image.pixels[i] = std::uint8_t(state >> 24);
    }
    return image;
}

struct Timing
{
    double min = 0;
    double median = 0;
};

// Processor time, ours and our finished children's: on a machine shared
// with other builds, wall time says more about them than about us.
double cpuMs()
{
    timespec own{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &own);
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return double(own.tv_sec) * 1e3 + double(own.tv_nsec) / 1e6 + ms(children.ru_utime) + ms(children.ru_stime);
}

Timing timeRuns(int runs, const std::function<bool()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = cpuMs();
        if (!work())
            return {-1, -1};
        times.push_back(cpuMs() - start);
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

bool runProgram(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    QTemporaryDir dir;
    const QString texture = dir.filePath("dxt1_2048_mips.dds");
    const QString output = dir.filePath("thumb.png");
    if (!ddstest::writeFile(texture.toStdString(),
                            ddstest::legacyBlockDds(ddstest::mipChain(detailedPicture(2048), 12), ddstest::Block::Bc1, "DXT1"))) {
        std::fprintf(stderr, "cannot write the texture\n");
        return 1;
    }

    const Timing work = timeRuns(runs, [&] {
        const Picture thumbnail = ddsThumbnail(texture, 256, nullptr);
        return !thumbnail.isNull() && !thumbnailPng(thumbnail).isEmpty();
    });
    const Timing decode = timeRuns(runs, [&] { return !ddsThumbnail(texture, 256, nullptr).isNull(); });
    const Timing program = timeRuns(runs, [&] { return runProgram(THUMBNAILER, {"-s", "256", texture, output}); });
    const qint64 pngSize = QFileInfo(output).size();
    std::printf("2048 x 2048 DXT1 with mipmaps, 256-pixel thumbnail, %d runs (min / median processor ms)\n", runs);
    std::printf("  work in the thumbnailer   %7.2f / %7.2f   limit %.1f: %s\n", work.min, work.median, WorkLimitMs,
                work.median >= 0 && work.median <= WorkLimitMs ? "met" : "MISSED");
    std::printf("    of which the picture      %7.2f / %7.2f   (the rest is PNG)\n", decode.min, decode.median);
    std::printf("  corvane-thumbnailer run   %7.2f / %7.2f   (process start included)\n", program.min, program.median);
    std::printf("  PNG written               %lld bytes\n", static_cast<long long>(pngSize));

    if (argc > 2) {
        // Alternating, so both meet the same load on the machine.
        const QString earlier = QString::fromLocal8Bit(argv[2]);
        const QString earlierOutput = dir.filePath("earlier.png");
        std::vector<double> now, before;
        for (int i = 0; i < runs; ++i) {
            double start = cpuMs();
            if (!runProgram(THUMBNAILER, {"-s", "256", texture, output}))
                return 1;
            now.push_back(cpuMs() - start);
            start = cpuMs();
            if (!runProgram(earlier, {"-s", "256", texture, earlierOutput}))
                return 1;
            before.push_back(cpuMs() - start);
        }
        std::sort(now.begin(), now.end());
        std::sort(before.begin(), before.end());
        const double ratio = now[now.size() / 2] / before[before.size() / 2];
        std::printf("  earlier build's run       %7.2f / %7.2f   this one's median %.2f: %.2fx (limit %.1f: %s)\n",
                    before.front(), before[before.size() / 2], now[now.size() / 2], ratio, EarlierRatioLimit,
                    ratio <= EarlierRatioLimit ? "met" : "MISSED");
        std::printf("  earlier build's PNG       %lld bytes\n", static_cast<long long>(QFileInfo(earlierOutput).size()));
    }

    const QString magick = QStandardPaths::findExecutable("convert");
    if (magick.isEmpty()) {
        std::printf("  ImageMagick               not installed\n");
        return 0;
    }
    const int magickRuns = std::max(1, runs / 5);
    const Timing reference = timeRuns(magickRuns, [&] {
        return runProgram(magick, {texture, "-thumbnail", "256x256", dir.filePath("magick.png")});
    });
    std::printf("  ImageMagick convert       %7.2f / %7.2f   %.1fx the thumbnailer's run\n", reference.min,
                reference.median, program.median > 0 ? reference.median / program.median : 0.0);
    return 0;
}
