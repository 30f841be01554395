// Times what a click on a paint row costs the preview: one FileName change of
// a TThumbnail with BitmapSize 512 (library load, check, conversion, BMP round
// trip, scaling, unload), and measures the memory one preview takes.
//
//   bench_preview make FOLDER          writes the benchmark textures
//   bench_preview time FILE RUNS       prints "min median" in milliseconds
//   bench_preview memory FILE          prints the peak in MiB above idle
//   bench_preview check FILE RUNS      prints the median of _Pic_Valid in microseconds

#include "DdsWriter.h"
#include "TThumbnail.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A busy picture: smooth ramps with a fine pattern, so blocks are not flat.
ddstest::RgbaImage busyPicture(std::uint32_t side)
{
    ddstest::RgbaImage image(side, side);
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x) {
            std::uint8_t *p = image.at(x, y);
            p[0] = std::uint8_t(x * 255 / side);
            p[1] = std::uint8_t(y * 255 / side);
            p[2] = std::uint8_t(((x / 8 + y / 8) % 2) * 128 + (x * y) % 64);
            p[3] = 255;
        }
    return image;
}

bool make(const QString &folder)
{
    auto save = [&](const char *name, const std::vector<std::uint8_t> &bytes) {
        const bool ok = ddstest::writeFile((folder + "/" + name).toStdString(), bytes);
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", name);
        return ok;
    };
    const auto p2048 = busyPicture(2048);
    const auto chain2048 = ddstest::mipChain(p2048, 12);
    bool ok = save("dxt1_2048_mips.dds", ddstest::legacyBlockDds(chain2048, ddstest::Block::Bc1, "DXT1"));
    ok &= save("dxt5_2048_mips.dds", ddstest::legacyBlockDds(chain2048, ddstest::Block::Bc3, "DXT5"));
    ok &= save("dxt1_2048_flat.dds", ddstest::legacyBlockDds({p2048}, ddstest::Block::Bc1, "DXT1"));
    ok &= save("argb_1024.dds", ddstest::legacyBitMaskDds({busyPicture(1024)}, ddstest::a8r8g8b8()));
    const auto p4096 = busyPicture(4096);
    ok &= save("dxt5_4096_flat.dds", ddstest::legacyBlockDds({p4096}, ddstest::Block::Bc3, "DXT5"));
    ok &= save("dxt5_4096_mips.dds", ddstest::legacyBlockDds(ddstest::mipChain(p4096, 13), ddstest::Block::Bc3, "DXT5"));
    return ok;
}

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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s make FOLDER | time FILE RUNS | memory FILE | check FILE RUNS\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const QByteArray command = argv[1];
    const QString file = QString::fromLocal8Bit(argv[2]);
    if (command == "make")
        return make(file) ? 0 : 1;

    TThumbnail thumbnail;
    thumbnail.SetShowLabel(false);
    thumbnail.SetBitmapSize(512);

    if (command == "memory") {
        const long idle = statusKiB("VmRSS:");
        // Start the peak afresh from the idle size.
        QFile clear("/proc/self/clear_refs");
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        clear.close();
        thumbnail.SetFileName(file);
        const long peak = statusKiB("VmHWM:");
        std::printf("%.1f %d\n", double(peak - idle) / 1024.0, thumbnail.HasPicture() ? 1 : 0);
        return thumbnail.HasPicture() ? 0 : 1;
    }

    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
    std::vector<double> times;
    if (command == "check") {
        QLibrary korrad(QCoreApplication::applicationDirPath() + "/korrad");
        auto valid = reinterpret_cast<unsigned char (*)(const char *)>(korrad.resolve("_Pic_Valid"));
        if (!valid)
            return 1;
        const QByteArray path = QFile::encodeName(file);
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer clock;
            clock.start();
            valid(path.constData());
            times.push_back(double(clock.nsecsElapsed()) / 1e3);
        }
        std::printf("%.1f\n", median(times));
        return 0;
    }

    for (int i = 0; i < runs + 1; ++i) {
        thumbnail.SetFileName(QString());
        QElapsedTimer clock;
        clock.start();
        thumbnail.SetFileName(file);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (!thumbnail.HasPicture()) {
            std::fprintf(stderr, "no picture for %s\n", argv[2]);
            return 1;
        }
        if (i > 0) // the first load warms the disk cache
            times.push_back(ms);
    }
    std::printf("%.2f %.2f\n", *std::min_element(times.begin(), times.end()), median(times));
    return 0;
}
