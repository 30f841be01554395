// The uncompressed layouts beyond plain bit masks, the headers other tools
// get wrong, and textures that hold more than one picture: each written here
// from a known picture and read back through the entry points.

#include "KorradTestSupport.h"

#include <QTest>

#include <squish.h>

#include <cmath>
#include <cstring>

using namespace korradtest;
using namespace ddstest;

using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::uint32_t Width = 128, Height = 64;

const std::vector<RgbaImage> &testLevels()
{
    static const std::vector<RgbaImage> levels = mipChain(gradient(Width, Height, 9), 3);
    return levels;
}

Packer channels(Channel type, int count)
{
    return [=](const RgbaImage &image) { return packChannels(image, type, count); };
}

PixelFormat numbered(std::uint32_t code)
{
    PixelFormat format;
    format.flags = PixelFourCCFlag;
    format.fourCC = code;
    return format;
}

PixelFormat masks(std::uint32_t flags, std::uint32_t bits, std::uint32_t r, std::uint32_t g, std::uint32_t b,
                  std::uint32_t a = 0)
{
    return PixelFormat{flags, 0, bits, r, g, b, a};
}

Bytes legacyFile(const PixelFormat &format, const Packer &pack)
{
    Shape shape;
    shape.mipCount = std::uint32_t(testLevels().size());
    return legacyDds(testLevels(), format, pack, shape);
}

Bytes dx10File(std::uint32_t dxgi, const Packer &pack)
{
    Shape shape;
    shape.mipCount = std::uint32_t(testLevels().size());
    return dx10Dds(testLevels(), dxgi, pack, shape);
}

// What a format of `count` channels shows of a picture: one channel as grey,
// two as red and green over no blue, more as they are. With `derivedBlue`
// blue is the z of the unit normal whose x and y red and green hold.
QImage shownChannels(const RgbaImage &source, int count, bool derivedBlue = false)
{
    QImage expected(int(source.width), int(source.height), QImage::Format_RGB32);
    for (std::uint32_t y = 0; y < source.height; ++y)
        for (std::uint32_t x = 0; x < source.width; ++x) {
            const std::uint8_t *p = source.at(x, y);
            int blue = count >= 3 ? p[2] : 0;
            if (derivedBlue) {
                // From the stored values: near the unit circle z moves fast.
                const double u = std::lround(p[0] / 255.0 * 254 - 127) / 127.0;
                const double v = std::lround(p[1] / 255.0 * 254 - 127) / 127.0;
                blue = int(std::lround((std::sqrt(std::max(0.0, 1 - u * u - v * v)) + 1) * 127.5));
            }
            expected.setPixel(int(x), int(y), count == 1 ? qRgb(p[0], p[0], p[0]) : qRgb(p[0], p[1], blue));
        }
    return expected;
}

void addChannelColumns()
{
    QTest::addColumn<Bytes>("file");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("tolerance");
}

// The mean of every 2x2 square: what a preview makes of a level twice its size.
QImage halved(const QImage &image)
{
    QImage half(image.width() / 2, image.height() / 2, QImage::Format_RGB32);
    for (int y = 0; y < half.height(); ++y)
        for (int x = 0; x < half.width(); ++x) {
            int sums[3] = {};
            for (const QPoint corner : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
                const QRgb p = image.pixel(2 * x + corner.x(), 2 * y + corner.y());
                sums[0] += qRed(p);
                sums[1] += qGreen(p);
                sums[2] += qBlue(p);
            }
            half.setPixel(x, y, qRgb((sums[0] + 2) / 4, (sums[1] + 2) / 4, (sums[2] + 2) / 4));
        }
    return half;
}

// Full size from level 0, a small preview (level 0 halved: a preview reduces
// a level at least twice its size), and grey: every mode reads the format.
void checkEveryMode(const Bytes &file, const std::function<QImage(const RgbaImage &)> &shown, int tolerance)
{
    QTemporaryDir folder;
    const QString path = save(folder, "texture.dds", file);
    QVERIFY(isValid(path));
    const auto full = convert(path, folder, 2, 0);
    QVERIFY(full.has_value());
    int difference = largestDifference(*full, shown(testLevels()[0]));
    QVERIFY2(difference >= 0 && difference <= tolerance, qPrintable(QString("level 0 off by %1").arg(difference)));
    const auto preview = convert(path, folder, 1, 3);
    QVERIFY(preview.has_value());
    difference = largestDifference(*preview, halved(shown(testLevels()[0])));
    QVERIFY2(difference >= 0 && difference <= tolerance, qPrintable(QString("preview off by %1").arg(difference)));
    const auto grey = convert(path, folder, 2, 0, true);
    QVERIFY(grey.has_value());
    QCOMPARE(grey->size(), full->size());
}

} // namespace

class UncommonFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void wideAndFloatChannels_data()
    {
        addChannelColumns();
        // Legacy files number these formats in the FourCC field.
        QTest::newRow("A16B16G16R16") << legacyFile(numbered(36), channels(Channel::Unorm16, 4)) << 4 << 0;
        QTest::newRow("R16F") << legacyFile(numbered(111), channels(Channel::Half, 1)) << 1 << 0;
        QTest::newRow("G16R16F") << legacyFile(numbered(112), channels(Channel::Half, 2)) << 2 << 0;
        QTest::newRow("A16B16G16R16F") << legacyFile(numbered(113), channels(Channel::Half, 4)) << 4 << 0;
        QTest::newRow("R32F") << legacyFile(numbered(114), channels(Channel::Float, 1)) << 1 << 0;
        QTest::newRow("G32R32F") << legacyFile(numbered(115), channels(Channel::Float, 2)) << 2 << 0;
        QTest::newRow("A32B32G32R32F") << legacyFile(numbered(116), channels(Channel::Float, 4)) << 4 << 0;
        // And some by masks.
        QTest::newRow("G16R16 by masks") << legacyFile(masks(PixelRgb, 32, 0xffff, 0xffff0000, 0),
                                                       channels(Channel::Unorm16, 2)) << 2 << 0;
        QTest::newRow("L16 by masks") << legacyFile(masks(PixelLuminance, 16, 0xffff, 0, 0),
                                                    channels(Channel::Unorm16, 1)) << 1 << 0;
        QTest::newRow("R32F by a 32-bit red mask") << legacyFile(masks(PixelRgb, 32, 0xffffffff, 0, 0),
                                                                 channels(Channel::Float, 1)) << 1 << 0;
        struct Dxgi { const char *name; std::uint32_t dxgi; Channel type; int count; };
        const Dxgi dxgiRows[] = {
            {"R32G32B32A32_FLOAT", 2, Channel::Float, 4}, {"R32G32B32A32_TYPELESS", 1, Channel::Float, 4},
            {"R32G32B32_FLOAT", 6, Channel::Float, 3},    {"R32G32_FLOAT", 16, Channel::Float, 2},
            {"R32_FLOAT", 41, Channel::Float, 1},         {"R16G16B16A16_FLOAT", 10, Channel::Half, 4},
            {"R16G16_FLOAT", 34, Channel::Half, 2},       {"R16_FLOAT", 54, Channel::Half, 1},
            {"R16G16B16A16_UNORM", 11, Channel::Unorm16, 4}, {"R16G16B16A16_TYPELESS", 9, Channel::Unorm16, 4},
            {"R16G16_UNORM", 35, Channel::Unorm16, 2},    {"R16_UNORM", 56, Channel::Unorm16, 1},
            {"R8G8_UNORM", 49, Channel::Unorm8, 2},       {"R8_UNORM", 61, Channel::Unorm8, 1},
        };
        for (const Dxgi &row : dxgiRows)
            QTest::newRow(row.name) << dx10File(row.dxgi, channels(row.type, row.count)) << row.count << 0;
        // Six mantissa bits keep 8-bit values to within a step or two; nine to within one.
        QTest::newRow("R11G11B10_FLOAT")
            << dx10File(26, [](const RgbaImage &image) { return packPackedFloats(image, PackedFloat::R11G11B10); })
            << 3 << 2;
        QTest::newRow("R9G9B9E5_SHAREDEXP")
            << dx10File(67, [](const RgbaImage &image) { return packPackedFloats(image, PackedFloat::R9G9B9E5); })
            << 3 << 1;
    }

    void wideAndFloatChannels()
    {
        QFETCH(Bytes, file);
        QFETCH(int, count);
        QFETCH(int, tolerance);
        checkEveryMode(file, [=](const RgbaImage &level) { return shownChannels(level, count); }, tolerance);
    }

    // Signed values are shown as normal maps are: -1..1 over 0..255, which
    // the writer's mapping undoes to within a step of 8-bit precision.
    void signedChannels_data()
    {
        addChannelColumns();
        QTest::newRow("V8U8 by masks") << legacyFile(masks(PixelBumpDuDv, 16, 0xff, 0xff00, 0),
                                                     channels(Channel::Snorm8, 2)) << 2 << 1;
        QTest::newRow("Q8W8V8U8 by masks")
            << legacyFile(masks(PixelBumpDuDv, 32, 0xff, 0xff00, 0xff0000, 0xff000000), channels(Channel::Snorm8, 4))
            << 4 << 1;
        QTest::newRow("V16U16 by masks") << legacyFile(masks(PixelBumpDuDv, 32, 0xffff, 0xffff0000, 0),
                                                       channels(Channel::Snorm16, 2)) << 2 << 1;
        QTest::newRow("V8U8 numbered") << legacyFile(numbered(60), channels(Channel::Snorm8, 2)) << 2 << 1;
        QTest::newRow("Q8W8V8U8 numbered") << legacyFile(numbered(63), channels(Channel::Snorm8, 4)) << 4 << 1;
        QTest::newRow("Q16W16V16U16") << legacyFile(numbered(110), channels(Channel::Snorm16, 4)) << 4 << 1;
        QTest::newRow("R16G16B16A16_SNORM") << dx10File(13, channels(Channel::Snorm16, 4)) << 4 << 1;
        QTest::newRow("R16G16_SNORM") << dx10File(37, channels(Channel::Snorm16, 2)) << 2 << 1;
        QTest::newRow("R16_SNORM") << dx10File(58, channels(Channel::Snorm16, 1)) << 1 << 1;
        QTest::newRow("R8G8B8A8_SNORM") << dx10File(31, channels(Channel::Snorm8, 4)) << 4 << 1;
        QTest::newRow("R8G8_SNORM") << dx10File(51, channels(Channel::Snorm8, 2)) << 2 << 1;
        QTest::newRow("R8_SNORM") << dx10File(63, channels(Channel::Snorm8, 1)) << 1 << 1;
        // CxV8U8 stores x and y of a unit normal; blue shows its z.
        QTest::newRow("CxV8U8") << legacyFile(numbered(117), channels(Channel::Snorm8, 2)) << -2 << 2;
    }

    void signedChannels()
    {
        QFETCH(Bytes, file);
        QFETCH(int, count);
        QFETCH(int, tolerance);
        checkEveryMode(
            file, [=](const RgbaImage &level) { return shownChannels(level, std::abs(count), count < 0); }, tolerance);
    }

    void floatsOutsideZeroToOneAreClamped_data()
    {
        QTest::addColumn<bool>("half");
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("shown");
        for (bool half : {false, true}) {
            const QString kind = half ? "half " : "single ";
            QTest::newRow(qPrintable(kind + "2.0")) << half << 2.0f << 255;
            QTest::newRow(qPrintable(kind + "1.0")) << half << 1.0f << 255;
            QTest::newRow(qPrintable(kind + "0.5")) << half << 0.5f << 128;
            QTest::newRow(qPrintable(kind + "-0.5")) << half << -0.5f << 0;
            QTest::newRow(qPrintable(kind + "infinity")) << half << INFINITY << 255;
            QTest::newRow(qPrintable(kind + "NaN")) << half << NAN << 0;
        }
        QTest::newRow("half subnormal") << true << std::ldexp(1.0f, -20) << 0;
    }

    void floatsOutsideZeroToOneAreClamped()
    {
        QFETCH(bool, half);
        QFETCH(float, value);
        QFETCH(int, shown);
        const RgbaImage source = solid(4, 4, 0, 0, 0);
        Bytes file = dx10Dds({source}, half ? 54 : 41, channels(half ? Channel::Half : Channel::Float, 1));
        if (half) {
            put32(file, field::Dx10Data, halfOf(value)); // the first pixel and a zero second
        } else {
            std::uint32_t bits;
            std::memcpy(&bits, &value, 4);
            put32(file, field::Dx10Data, bits);
        }
        QTemporaryDir folder;
        const auto converted = convert(save(folder, "float.dds", file), folder);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->pixel(0, 0), qRgb(shown, shown, shown));
        QCOMPARE(converted->pixel(1, 0), qRgb(0, 0, 0));
    }

    void palettes_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("width");
        QTest::newRow("P8") << 8 << 40;
        QTest::newRow("A8P8") << 16 << 40;
        QTest::newRow("P4") << 4 << 40;
        QTest::newRow("P4 odd width") << 4 << 37;
    }

    void palettes()
    {
        QFETCH(int, bits);
        QFETCH(int, width);
        const std::uint32_t w = std::uint32_t(width), h = 21, colours = bits == 4 ? 16 : 256;
        Bytes palette;
        for (std::uint32_t i = 0; i < colours; ++i) {
            const std::uint8_t entry[4] = {std::uint8_t(i * 37), std::uint8_t(255 - i * 11), std::uint8_t(i * 101 + 7),
                                           std::uint8_t(i)};
            palette.insert(palette.end(), entry, entry + 4);
        }
        std::vector<std::uint8_t> indices(std::size_t(w) * h);
        QImage expected(width, int(h), QImage::Format_RGB32);
        for (std::uint32_t y = 0; y < h; ++y)
            for (std::uint32_t x = 0; x < w; ++x) {
                const std::uint8_t index = std::uint8_t((x * 7 + y * 13) % colours);
                indices[y * w + x] = index;
                const std::uint8_t *c = palette.data() + index * 4;
                expected.setPixel(int(x), int(y), qRgb(c[0], c[1], c[2]));
            }
        const PixelFormat format = masks(bits == 4 ? PixelPalette4 : PixelPalette8, std::uint32_t(bits), 0, 0, 0);
        const Bytes file = legacyDds({RgbaImage(w, h)}, format,
                                     [&](const RgbaImage &) { return packIndices(indices, w, h, std::uint32_t(bits), 77); },
                                     {}, palette);
        QTemporaryDir folder;
        const QString path = save(folder, "palette.dds", file);
        QVERIFY(isValid(path));
        const auto converted = convert(path, folder);
        QVERIFY(converted.has_value());
        QCOMPARE(largestDifference(*converted, expected), 0);
    }

    void pixelPairs_data()
    {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<int>("width");
        const auto pairs = [](PairOrder order) {
            return [=](const RgbaImage &image) { return packPairs(image, order); };
        };
        const std::vector<RgbaImage> even{pairedGradient(48)}, odd{pairedGradient(37)};
        // Studio-range YUV keeps 8-bit RGB to within a few steps.
        QTest::newRow("YUY2") << legacyDds(even, numbered(fourCCCode("YUY2")), pairs(PairOrder::Yuy2)) << 3 << 48;
        QTest::newRow("UYVY") << legacyDds(even, numbered(fourCCCode("UYVY")), pairs(PairOrder::Uyvy)) << 3 << 48;
        QTest::newRow("YUY2 odd width") << legacyDds(odd, numbered(fourCCCode("YUY2")), pairs(PairOrder::Yuy2)) << 3 << 37;
        QTest::newRow("YUY2 DX10") << dx10Dds(even, 107, pairs(PairOrder::Yuy2)) << 3 << 48;
        // Direct3D 9's R8G8_B8G8 is DXGI's G8R8_G8B8 and the other way round.
        QTest::newRow("R8G8_B8G8") << legacyDds(even, numbered(fourCCCode("RGBG")), pairs(PairOrder::GrGb)) << 0 << 48;
        QTest::newRow("G8R8_G8B8") << legacyDds(even, numbered(fourCCCode("GRGB")), pairs(PairOrder::RgBg)) << 0 << 48;
        QTest::newRow("G8R8_G8B8 odd width") << legacyDds(odd, numbered(fourCCCode("GRGB")), pairs(PairOrder::RgBg))
                                             << 0 << 37;
        QTest::newRow("DXGI R8G8_B8G8") << dx10Dds(even, 68, pairs(PairOrder::RgBg)) << 0 << 48;
        QTest::newRow("DXGI G8R8_G8B8") << dx10Dds(even, 69, pairs(PairOrder::GrGb)) << 0 << 48;
    }

    void pixelPairs()
    {
        QFETCH(Bytes, file);
        QFETCH(int, tolerance);
        QFETCH(int, width);
        QTemporaryDir folder;
        const QString path = save(folder, "pairs.dds", file);
        QVERIFY(isValid(path));
        const auto converted = convert(path, folder);
        QVERIFY(converted.has_value());
        const int difference = largestDifference(*converted, toQImage(pairedGradient(std::uint32_t(width))));
        QVERIFY2(difference >= 0 && difference <= tolerance, qPrintable(QString("off by %1").arg(difference)));
    }

    // Red lives in the alpha of a DXT5 block, the colour block holds the rest.
    void rxgbShowsRedFromAlpha()
    {
        const RgbaImage source = gradient(36, 20, 4);
        RgbaImage moved = source;
        for (std::size_t i = 0; i < moved.pixels.size(); i += 4) {
            moved.pixels[i + 3] = moved.pixels[i];
            moved.pixels[i] = 0;
        }
        QTemporaryDir folder;
        const QString path = save(folder, "rxgb.dds", legacyBlockDds({moved}, Block::Bc3, "RXGB"));
        QVERIFY(isValid(path));
        const auto converted = convert(path, folder);
        QVERIFY(converted.has_value());
        RgbaImage decoded(moved.width, moved.height);
        const auto blocks = compressBlocks(moved, Block::Bc3);
        squish::DecompressImage(decoded.pixels.data(), int(moved.width), int(moved.height), blocks.data(), squish::kDxt5);
        for (std::size_t i = 0; i < decoded.pixels.size(); i += 4)
            decoded.pixels[i] = decoded.pixels[i + 3];
        QCOMPARE(largestDifference(*converted, toQImage(decoded)), 0);
        const int difference = largestDifference(*converted, toQImage(source));
        QVERIFY2(difference <= 24, qPrintable(QString("off by %1 from the source").arg(difference)));
    }

    // Headers as other tools write them, read the way the reference decoder does.
    void headersReadAsTheReferenceDecoderDoes_data()
    {
        QTest::addColumn<Bytes>("file");
        QTest::addColumn<int>("tolerance");
        const RgbaImage source = gradient(33, 17, 2);
        const BitMask trueA2B10G10R10{PixelRgb | PixelAlphaPixels, 32, 0x3ff, 0xffc00, 0x3ff00000, 0xc0000000};
        const BitMask trueA2R10G10B10{PixelRgb | PixelAlphaPixels, 32, 0x3ff00000, 0xffc00, 0x3ff, 0xc0000000};
        // D3DX wrote each 10:10:10:2 layout with the other one's masks.
        auto exchanged = [&](const BitMask &truth) {
            Bytes bytes = legacyBitMaskDds({source}, truth);
            put32(bytes, field::RedMask, truth.blue);
            put32(bytes, field::RedMask + 8, truth.red);
            return bytes;
        };
        // 10 bits per channel hold 8-bit values exactly.
        QTest::newRow("A2B10G10R10 as D3DX wrote it") << exchanged(trueA2B10G10R10) << 0;
        QTest::newRow("A2R10G10B10 as D3DX wrote it") << exchanged(trueA2R10G10B10) << 0;
        QTest::newRow("R10G10B10A2 behind DX10")
            << dx10Dds({source}, 24, [&](const RgbaImage &image) { return packBitMask(image, trueA2B10G10R10); }) << 0;
        Bytes luminanceAndRgb = legacyBitMaskDds({source}, l8());
        put32(luminanceAndRgb, field::PixelFlags, PixelLuminance | PixelRgb);
        QTest::newRow("L8 with a stray RGB flag") << luminanceAndRgb << -1;
        QTest::newRow("B5G6R5 behind DX10")
            << dx10Dds({source}, 85, [&](const RgbaImage &image) { return packBitMask(image, r5g6b5()); }) << 4;
    }

    void headersReadAsTheReferenceDecoderDoes()
    {
        QFETCH(Bytes, file);
        QFETCH(int, tolerance);
        const RgbaImage source = gradient(33, 17, 2);
        QTemporaryDir folder;
        const QString path = save(folder, "odd.dds", file);
        QVERIFY(isValid(path));
        const auto converted = convert(path, folder);
        QVERIFY(converted.has_value());
        // A tolerance of -1 means the picture is the source's red as grey.
        const QImage expected = tolerance < 0 ? shownChannels(source, 1) : toQImage(source);
        const int difference = largestDifference(*converted, expected);
        QVERIFY2(difference >= 0 && difference <= std::max(tolerance, 0),
                 qPrintable(QString("off by %1").arg(difference)));
    }

    // Cube maps, arrays and volumes show their first picture.
    void firstPictureOfMany_data()
    {
        QTest::addColumn<Bytes>("file");
        const Packer rgba = channels(Channel::Unorm8, 4);
        const auto chain = [](unsigned seed) { return mipChain(gradient(32, 32, seed), 6); };
        std::vector<RgbaImage> six;
        for (unsigned face = 0; face < 6; ++face)
            for (const RgbaImage &level : chain(face * 5))
                six.push_back(level);
        const PixelFormat abgr = masks(PixelRgb, 32, 0xff, 0xff00, 0xff0000);
        Shape cube;
        cube.mipCount = 6;
        cube.caps2 = Caps2CubeAllFaces;
        QTest::newRow("cube map") << legacyDds(six, abgr, rgba, cube);
        Shape twoFaces = cube;
        twoFaces.caps2 = 0x200 | 0x400 | 0x8000; // positive X and negative Z only
        QTest::newRow("cube map of two faces")
            << legacyDds(std::vector<RgbaImage>(six.begin(), six.begin() + 12), abgr, rgba, twoFaces);
        Shape dx10Cube;
        dx10Cube.mipCount = 6;
        dx10Cube.cube = true;
        QTest::newRow("DX10 cube map") << dx10Dds(six, 28, rgba, dx10Cube);
        Shape array;
        array.mipCount = 6;
        array.arraySize = 3;
        QTest::newRow("DX10 array of three")
            << dx10Dds(std::vector<RgbaImage>(six.begin(), six.begin() + 18), 28, rgba, array);
        // A volume stores each level's slices together: 4 slices, then 2, then 1.
        std::vector<RgbaImage> volume;
        for (unsigned slice = 0; slice < 4; ++slice)
            volume.push_back(gradient(32, 32, slice * 5));
        for (unsigned slice = 0; slice < 2; ++slice)
            volume.push_back(gradient(16, 16, 30 + slice));
        volume.push_back(gradient(8, 8, 33));
        Shape depth;
        depth.depth = 4;
        depth.mipCount = 3;
        QTest::newRow("volume") << legacyDds(volume, abgr, rgba, depth);
        QTest::newRow("DX10 volume") << dx10Dds(volume, 28, rgba, depth);
    }

    void firstPictureOfMany()
    {
        QFETCH(Bytes, file);
        QTemporaryDir folder;
        const QString path = save(folder, "many.dds", file);
        QVERIFY(isValid(path));
        for (int hint : {0, 1, 3}) {
            const auto converted = convert(path, folder, hint ? 1 : 2, hint);
            QVERIFY(converted.has_value());
            QCOMPARE(converted->size(), QSize(32, 32)); // no level of the first picture is smaller than 64
            QCOMPARE(largestDifference(*converted, toQImage(gradient(32, 32, 0))), 0);
        }
    }

private:
    // A picture whose pixel pairs are alike, which pair formats store exactly.
    static RgbaImage pairedGradient(std::uint32_t width)
    {
        RgbaImage image = gradient(width, 9, 6);
        for (std::uint32_t y = 0; y < image.height; ++y)
            for (std::uint32_t x = 1; x < width; x += 2)
                std::memcpy(image.at(x, y), image.at(x - 1, y), 4);
        return image;
    }
};

int runUncommonFormatTests(int argc, char **argv)
{
    UncommonFormatTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_UncommonFormat.moc"
