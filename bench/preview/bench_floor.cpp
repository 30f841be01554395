// The floor of a preview step, for bench_preview's figures: libsquish
// decoding the stored level of the preview's own size (the level a preview
// once showed as it was; it now reduces a larger one, and is held to the old
// floor), and the bytes of the BMP a preview of that texture hands over
// written to a new file, read back and removed.
//
//   bench_floor make FOLDER       writes the benchmark textures
//   bench_floor FILE RUNS         prints "needed-level-decode bmp-round-trip level0-decode" in milliseconds
//   bench_floor quality FILE      prints "psnr max-difference" of the preview for hints 1, 2 and 3 against
//                                 a full decode of level 0 reduced by area means (psnr 99 when equal)

#include "AreaReducer.h"
#include "ByteSink.h"
#include "ByteSource.h"
#include "DdsConversion.h"
#include "DdsDecoder.h"
#include "DdsWriter.h"
#include "MedianTime.h"
#include "DdsLayout.h"
#include "OutputPlan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <squish.h>

#include <algorithm>
#include <cmath>
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

// Keeps the rows it is handed, red, green and blue, top row first.
class RgbRows final : public korrad::RowConsumer
{
public:
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    bool begin(std::uint32_t w, std::uint32_t h) override
    {
        width = w;
        height = h;
        rgb.assign(std::size_t(w) * h * 3, 0);
        return true;
    }
    bool row(std::uint32_t y, const std::uint8_t *rgba) override
    {
        for (std::uint32_t x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rgb[(std::size_t(y) * width + x) * 3 + c] = rgba[x * 4 + c];
        return true;
    }
    bool finish() override { return true; }
};

// The pixels of the library's 24-bit bottom-up BMP, as RgbRows holds them.
bool readBmp(const std::vector<std::uint8_t> &bmp, RgbRows &rows)
{
    if (bmp.size() < 54)
        return false;
    const auto word = [&](std::size_t at) {
        return std::uint32_t(bmp[at]) | std::uint32_t(bmp[at + 1]) << 8 | std::uint32_t(bmp[at + 2]) << 16
               | std::uint32_t(bmp[at + 3]) << 24;
    };
    const std::uint32_t width = word(18), height = word(22), offset = word(10);
    const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    if (bmp.size() < offset + stride * height)
        return false;
    rows.begin(width, height);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t *line = bmp.data() + offset + stride * (height - 1 - y);
        for (std::uint32_t x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rows.rgb[(std::size_t(y) * width + x) * 3 + c] = line[x * 3 + 2 - c];
    }
    return true;
}

// The preview of each hint beside level 0 decoded whole and reduced to the
// preview's size by area means.
bool quality(const QString &file)
{
    korrad::FileByteSource source(QFile::encodeName(file).constData());
    const auto layout = korrad::readDdsLayout(source);
    if (!layout)
        return false;
    for (const std::int32_t hint : {1, 2, 3}) {
        const korrad::ConversionRequest request{1, hint, false};
        korrad::MemoryByteSink bmp;
        RgbRows preview, reference;
        if (!korrad::convertDds(source, request, bmp) || !readBmp(bmp.bytes(), preview))
            return false;
        korrad::AreaReducer reducer(preview.width, preview.height, reference);
        if (!korrad::decodeDdsLevel(source, *layout, 0, reducer))
            return false;
        double squares = 0;
        int largest = 0;
        for (std::size_t i = 0; i < preview.rgb.size(); ++i) {
            const int difference = std::abs(int(preview.rgb[i]) - int(reference.rgb[i]));
            squares += double(difference) * difference;
            largest = std::max(largest, difference);
        }
        const double mse = squares / double(preview.rgb.size());
        const double psnr = mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99;
        std::printf("%s%.2f %d", hint == 1 ? "" : " ", psnr, largest);
    }
    std::printf("\n");
    return true;
}

// What a paint looks like: camouflage in three colours with soft-cornered
// patches, dark panel lines, white markings with hard edges, and a fine
// grain, so mip levels carry the block artefacts real paints show.
ddstest::RgbaImage paintedPicture(std::uint32_t side)
{
    ddstest::RgbaImage image(side, side);
    const double scale = 4096.0 / side;
    const std::uint8_t camouflage[3][3] = {{86, 96, 52}, {112, 82, 50}, {188, 170, 122}};
    std::uint32_t grain = 2463534242u;
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x) {
            const double u = x * scale, v = y * scale;
            const double field = std::sin(u * 0.0041 + std::sin(v * 0.0023) * 2) + std::sin(v * 0.0037 + u * 0.0011)
                                 + 0.6 * std::sin((u - v) * 0.0053);
            const std::uint8_t *base = camouflage[field < -0.5 ? 0 : field < 0.6 ? 1 : 2];
            int shade = 0;
            if (int(u) % 256 < 2 || int(v) % 192 < 2)
                shade = -45; // panel lines
            const double dx = std::fmod(u, 1024) - 512, dy = std::fmod(v, 1024) - 400;
            const double r = std::sqrt(dx * dx + dy * dy);
            const bool roundel = r < 150;
            const bool letter = std::fmod(u, 700) > 100 && std::fmod(u, 700) < 140 && std::fmod(v, 900) > 600
                                && std::fmod(v, 900) < 820;
            grain ^= grain << 13;
            grain ^= grain >> 17;
            grain ^= grain << 5;
            const int noise = int(grain >> 29) - 4;
            std::uint8_t *p = image.at(x, y);
            for (int c = 0; c < 3; ++c) {
                int value = base[c] + shade + noise;
                if (roundel)
                    value = r < 60 ? (c == 0 ? 200 : 30) : 235;
                if (letter)
                    value = 20;
                p[c] = std::uint8_t(std::clamp(value, 0, 255));
            }
            p[3] = 255;
        }
    return image;
}

// The same file with every level compressed as paint tools compress: the
// test writer's range fit is fast but leaves larger block errors.
std::vector<std::uint8_t> clusterFitBlockDds(const std::vector<ddstest::RgbaImage> &levels, const char *fourCC)
{
    std::vector<std::uint8_t> bytes = ddstest::legacyBlockDds(levels, ddstest::Block::Bc1, fourCC);
    std::size_t at = bytes.size();
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
        const int width = int(level->width), height = int(level->height);
        at -= std::size_t(squish::GetStorageRequirements(width, height, squish::kDxt1));
        squish::CompressImage(level->pixels.data(), width, height, bytes.data() + at,
                              squish::kDxt1 | squish::kColourClusterFit);
    }
    return bytes;
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
    const auto painted = ddstest::mipChain(paintedPicture(4096), 13);
    ok &= save("paint_dxt5_4096_mips.dds", ddstest::legacyBlockDds(painted, ddstest::Block::Bc3, "DXT5"));
    ok &= save("paint_dxt1_4096_mips_cluster.dds", clusterFitBlockDds(painted, "DXT1"));
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
    if (QByteArray(argv[1]) == "quality")
        return argc > 2 && quality(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    const QString file = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    korrad::FileByteSource source(QFile::encodeName(file).constData());
    const auto layout = korrad::readDdsLayout(source);
    const auto plan = layout ? korrad::planOutput(layout->width, layout->height, layout->levelCount, {1, 1, false})
                             : std::nullopt;
    if (!plan)
        return 1;
    std::uint32_t ownSizeLevel = 0;
    while (ownSizeLevel + 1 < layout->levelCount
           && std::max(layout->levelWidth(ownSizeLevel + 1), layout->levelHeight(ownSizeLevel + 1)) >= 512)
        ++ownSizeLevel;
    const double levelDecode = squishDecodeMs(file, ownSizeLevel, runs).value_or(-1);
    const double roundTrip = bmpRoundTripMs(plan->width, plan->height, runs);
    const double levelZeroDecode = squishDecodeMs(file, 0, std::max(3, runs / 4)).value_or(-1);
    std::printf("%.3f %.3f %.3f\n", levelDecode, roundTrip, levelZeroDecode);
    return 0;
}
