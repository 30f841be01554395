// Every texture format the library reads, written here from a known picture.

#include "KorradTestSupport.h"

#include <QTest>

#include <squish.h>

using namespace korradtest;
using namespace ddstest;

Q_DECLARE_METATYPE(ddstest::Block)

namespace {

// What libsquish itself makes of the blocks, for the formats it decodes whole.
QImage squishDecoded(const std::vector<std::uint8_t> &blocks, const RgbaImage &like, int flags)
{
    RgbaImage decoded(like.width, like.height);
    squish::DecompressImage(decoded.pixels.data(), int(like.width), int(like.height), blocks.data(), flags);
    return toQImage(decoded);
}

int squishFlags(Block block)
{
    switch (block) {
    case Block::Bc1: return squish::kDxt1;
    case Block::Bc2: return squish::kDxt3;
    case Block::Bc3: return squish::kDxt5;
    default: return 0;
    }
}

// BC4 shows its one channel as grey; BC5 shows red and green over no blue.
QImage channelExpectation(const RgbaImage &source, Block block)
{
    QImage expected(int(source.width), int(source.height), QImage::Format_RGB32);
    for (std::uint32_t y = 0; y < source.height; ++y)
        for (std::uint32_t x = 0; x < source.width; ++x) {
            const std::uint8_t *p = source.at(x, y);
            expected.setPixel(int(x), int(y), block == Block::Bc4 ? qRgb(p[0], p[0], p[0]) : qRgb(p[0], p[1], 0));
        }
    return expected;
}

} // namespace

class FormatTest : public QObject
{
    Q_OBJECT

private:
    void addBlockRows()
    {
        QTest::addColumn<Block>("block");
        QTest::addColumn<QString>("fourCC");
        QTest::addColumn<int>("dxgi");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        struct Row { const char *name; Block block; const char *fourCC; int dxgi; };
        const Row rows[] = {
            {"DXT1", Block::Bc1, "DXT1", 0},          {"DXT2", Block::Bc2, "DXT2", 0},
            {"DXT3", Block::Bc2, "DXT3", 0},          {"DXT4", Block::Bc3, "DXT4", 0},
            {"DXT5", Block::Bc3, "DXT5", 0},          {"ATI1", Block::Bc4, "ATI1", 0},
            {"BC4U", Block::Bc4, "BC4U", 0},          {"ATI2", Block::Bc5, "ATI2", 0},
            {"BC5U", Block::Bc5, "BC5U", 0},          {"BC1 typeless", Block::Bc1, "", 70},
            {"BC1 unorm", Block::Bc1, "", 71},        {"BC1 srgb", Block::Bc1, "", 72},
            {"BC2 typeless", Block::Bc2, "", 73},     {"BC2 unorm", Block::Bc2, "", 74},
            {"BC2 srgb", Block::Bc2, "", 75},         {"BC3 typeless", Block::Bc3, "", 76},
            {"BC3 unorm", Block::Bc3, "", 77},        {"BC3 srgb", Block::Bc3, "", 78},
            {"BC4 typeless", Block::Bc4, "", 79},     {"BC4 unorm", Block::Bc4, "", 80},
            {"BC5 typeless", Block::Bc5, "", 82},     {"BC5 unorm", Block::Bc5, "", 83},
        };
        for (const Row &row : rows) {
            QTest::newRow(row.name) << row.block << QString(row.fourCC) << row.dxgi << 64 << 32;
            // Sides that are no multiple of 4 leave blocks half used.
            QTest::newRow(qPrintable(QString(row.name) + " 37x23")) << row.block << QString(row.fourCC) << row.dxgi
                                                                     << 37 << 23;
        }
    }

private slots:
    void blockFormats_data() { addBlockRows(); }

    void blockFormats()
    {
        QFETCH(Block, block);
        QFETCH(QString, fourCC);
        QFETCH(int, dxgi);
        QFETCH(int, width);
        QFETCH(int, height);
        const RgbaImage source = gradient(std::uint32_t(width), std::uint32_t(height), 7);
        const auto levels = mipChain(source, 3);
        QTemporaryDir folder;
        const QString path = save(folder, "texture.dds",
                                  dxgi ? dx10BlockDds(levels, block, std::uint32_t(dxgi))
                                       : legacyBlockDds(levels, block, fourCC.toStdString()));
        QVERIFY(isValid(path));
        const auto converted = convert(path, folder, 2, 0);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->size(), QSize(width, height));

        if (block == Block::Bc4 || block == Block::Bc5) {
            // One or two 8-bit channels with 8 steps a block: close to the source.
            const int difference = largestDifference(*converted, channelExpectation(source, block));
            QVERIFY2(difference >= 0 && difference <= 4, qPrintable(QString("off by %1").arg(difference)));
        } else {
            const auto blocks = compressBlocks(source, block);
            QCOMPARE(largestDifference(*converted, squishDecoded(blocks, source, squishFlags(block))), 0);
            const int difference = largestDifference(*converted, toQImage(source));
            QVERIFY2(difference <= 24, qPrintable(QString("off by %1 from the source").arg(difference)));
        }
    }

    void dxt1WithOneBitAlphaShowsTransparentPixelsBlack()
    {
        RgbaImage source = gradient(16, 16, 3);
        for (std::uint32_t y = 0; y < 16; ++y)
            for (std::uint32_t x = 0; x < 16; ++x)
                if ((x / 4 + y / 4) % 2)
                    source.at(x, y)[3] = 0;
        QTemporaryDir folder;
        const QString path = save(folder, "cutout.dds", legacyBlockDds({source}, Block::Bc1, "DXT1"));
        const auto converted = convert(path, folder);
        QVERIFY(converted.has_value());
        const auto blocks = compressBlocks(source, Block::Bc1);
        QCOMPARE(largestDifference(*converted, squishDecoded(blocks, source, squish::kDxt1)), 0);
        QCOMPARE(converted->pixel(4, 0), qRgb(0, 0, 0));
        QVERIFY(converted->pixel(0, 0) != qRgb(0, 0, 0));
    }

    void bitMaskFormats_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("width");
        const char *names[] = {"A8R8G8B8", "X8R8G8B8", "A8B8G8R8", "R8G8B8", "R5G6B5", "X1R5G5B5",
                               "A1R5G5B5", "A4R4G4B4", "L8", "A8L8", "A8"};
        for (int i = 0; i < int(std::size(names)); ++i) {
            QTest::newRow(names[i]) << i << 64;
            QTest::newRow(qPrintable(QString(names[i]) + " odd width")) << i << 29;
        }
    }

    void bitMaskFormats()
    {
        QFETCH(int, which);
        QFETCH(int, width);
        const BitMask formats[] = {a8r8g8b8(), x8r8g8b8(), a8b8g8r8(), r8g8b8(), r5g6b5(), x1r5g5b5(),
                                   a1r5g5b5(), a4r4g4b4(), l8(),       a8l8(),   a8()};
        const BitMask &format = formats[which];
        const RgbaImage source = gradient(std::uint32_t(width), 19, 11);
        QTemporaryDir folder;
        const QString path = save(folder, "texture.dds", legacyBitMaskDds(mipChain(source, 2), format));
        QVERIFY(isValid(path));
        const auto converted = convert(path, folder);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->size(), QSize(width, 19));
        for (std::uint32_t y = 0; y < source.height; ++y)
            for (std::uint32_t x = 0; x < source.width; ++x) {
                std::uint8_t rgb[3];
                expectedBitMaskColour(format, source.at(x, y), rgb);
                if (converted->pixel(int(x), int(y)) != qRgb(rgb[0], rgb[1], rgb[2]))
                    QFAIL(qPrintable(QString("pixel %1,%2 is %3, expected %4,%5,%6")
                                         .arg(x).arg(y).arg(converted->pixel(int(x), int(y)), 8, 16)
                                         .arg(rgb[0]).arg(rgb[1]).arg(rgb[2])));
            }
    }

    void byteOrderFormatsBehindDx10_data()
    {
        QTest::addColumn<int>("dxgi");
        QTest::addColumn<bool>("blueFirst");
        QTest::newRow("R8G8B8A8 typeless") << 27 << false;
        QTest::newRow("R8G8B8A8 unorm") << 28 << false;
        QTest::newRow("R8G8B8A8 srgb") << 29 << false;
        QTest::newRow("B8G8R8A8 unorm") << 87 << true;
        QTest::newRow("B8G8R8A8 typeless") << 90 << true;
        QTest::newRow("B8G8R8A8 srgb") << 91 << true;
        QTest::newRow("B8G8R8X8 unorm") << 88 << true;
    }

    void byteOrderFormatsBehindDx10()
    {
        QFETCH(int, dxgi);
        QFETCH(bool, blueFirst);
        const RgbaImage source = gradient(33, 17, 5);
        QTemporaryDir folder;
        const QString path = save(folder, "texture.dds", dx10ByteOrderDds({source}, std::uint32_t(dxgi), blueFirst));
        QVERIFY(isValid(path));
        const auto converted = convert(path, folder);
        QVERIFY(converted.has_value());
        QCOMPARE(largestDifference(*converted, toQImage(source)), 0);
    }

    // Files other tools write with header fields lenient readers ignore.
    void toolWrittenOddities_data()
    {
        QTest::addColumn<std::vector<std::uint8_t>>("plain");
        QTest::addColumn<std::vector<std::uint8_t>>("odd");
        const RgbaImage source = gradient(24, 12, 3);
        const auto dx10 = dx10ByteOrderDds({source}, 28, false);
        const auto dx10Bc1 = dx10BlockDds(mipChain(source, 2), Block::Bc1, 71);
        const auto l8File = legacyBitMaskDds({source}, l8());
        auto with = [](std::vector<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
            put32(bytes, offset, value);
            return bytes;
        };
        QTest::newRow("DX10 array size 0") << dx10 << with(dx10, field::ArraySize, 0);
        QTest::newRow("DX10 dimension 0") << dx10Bc1 << with(dx10Bc1, field::Dimension, 0);
        auto wordMasks = with(with(with(l8File, field::RedMask, 0xff000000), field::RedMask + 4, 0xff0000),
                              field::RedMask + 8, 0xff00);
        QTest::newRow("L8 with the masks of a 32-bit word") << l8File << wordMasks;
        QTest::newRow("L8 without masks") << l8File << with(l8File, field::RedMask, 0);
    }

    void toolWrittenOddities()
    {
        QFETCH(std::vector<std::uint8_t>, plain);
        QFETCH(std::vector<std::uint8_t>, odd);
        QTemporaryDir folder;
        const auto expected = convert(save(folder, "plain.dds", plain), folder);
        QVERIFY(expected.has_value());
        const QString path = save(folder, "odd.dds", odd);
        QVERIFY(isValid(path));
        const auto converted = convert(path, folder);
        QVERIFY(converted.has_value());
        QCOMPARE(largestDifference(*converted, *expected), 0);
    }
};

int runFormatTests(int argc, char **argv)
{
    FormatTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Format.moc"
