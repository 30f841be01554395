// The floor of a preview step, for bench_preview's figures: libsquish
// decoding one stored level, and the bytes of the BMP a preview of that
// texture hands over written to a new file, read back and removed.
//
//   bench_floor make FOLDER       writes the benchmark textures
//   bench_floor FILE RUNS         prints "needed-level-decode bmp-round-trip level0-decode" in milliseconds

#include "ByteSource.h"
#include "DdsWriter.h"
#include "MedianTime.h"
#include "DdsLayout.h"
#include "OutputPlan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <squish.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace {

// libsquish alone on one stored level: the decode no preview of it can skip.
std::optional<double> squishDecodeMs(const QString &file, std::uint32_t level, int runs)
{
    korrad::FileByteSource source(QFile::encodeName(file).constData());
    const auto layout = korrad::readDdsLayout(source);
    if (!layout || !layout->isBlockCompressed() || level >= layout->levelCount)
        return std::nullopt;
    int flags = 0;
    switch (layout->encoding) {
    case korrad::PixelEncoding::Bc1: flags = squish::kDxt1; break;
    case korrad::PixelEncoding::Bc2: flags = squish::kDxt3; break;
    case korrad::PixelEncoding::Bc3: flags = squish::kDxt5; break;
    default: return std::nullopt;
    }
    const int width = int(layout->levelWidth(level)), height = int(layout->levelHeight(level));
    std::vector<std::uint8_t> blocks(layout->levelSize(level));
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * 4);
    return steadyTime(runs, [&] {
               source.read(layout->levelOffset(level), blocks.data(), blocks.size());
               squish::DecompressImage(pixels.data(), width, height, blocks.data(), flags);
           });
}

// The bytes of a 24-bit BMP of that size through a new file in the temporary
// folder: written, read back, removed.
double bmpRoundTripMs(std::uint32_t width, std::uint32_t height, int runs)
{
    const std::size_t size = 54 + std::size_t((width * 3 + 3) & ~3u) * height;
    std::vector<char> bytes(size, 'x'), back(size);
    const QByteArray path = QFile::encodeName(QDir::temp().filePath("bench_preview_round_trip.bmp"));
    return steadyTime(runs, [&] {
               std::FILE *out = std::fopen(path.constData(), "wb");
               std::fwrite(bytes.data(), 1, size, out);
               std::fclose(out);
               std::FILE *in = std::fopen(path.constData(), "rb");
               if (std::fread(back.data(), 1, size, in) != size)
                   std::fprintf(stderr, "short read\n");
               std::fclose(in);
               std::remove(path.constData());
           });
}

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

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s make FOLDER | FILE [RUNS]\n", argv[0]);
        return 2;
    }
    if (QByteArray(argv[1]) == "make")
        return argc > 2 && make(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    const QString file = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    korrad::FileByteSource source(QFile::encodeName(file).constData());
    const auto layout = korrad::readDdsLayout(source);
    const auto plan = layout ? korrad::planOutput(layout->width, layout->height, layout->levelCount, {1, 1, false})
                             : std::nullopt;
    if (!plan)
        return 1;
    const double levelDecode = squishDecodeMs(file, plan->level, runs).value_or(-1);
    const double roundTrip = bmpRoundTripMs(plan->width, plan->height, runs);
    const double levelZeroDecode = squishDecodeMs(file, 0, std::max(3, runs / 4)).value_or(-1);
    std::printf("%.3f %.3f %.3f\n", levelDecode, roundTrip, levelZeroDecode);
    return 0;
}
