// Large reductions made from block sums: they must give the very bytes that a
// full decode followed by the area filter gives.

#include "KorradTestSupport.h"

#include "AreaReducer.h"
#include "BlockSums.h"
#include "BmpWriter.h"
#include "DdsDecoder.h"

#include <QTest>

#include <squish.h>

#include <random>

using namespace korrad;
using namespace korradtest;
using namespace ddstest;

namespace {

// A DDS whose blocks are random bytes: every palette mode and index pattern,
// which compressed pictures would rarely reach.
std::vector<std::uint8_t> randomBlockDds(std::uint32_t width, std::uint32_t height, Block block,
                                         const char *fourCC, unsigned seed)
{
    auto bytes = legacyBlockDds({solid(width, height, 0, 0, 0)}, block, fourCC);
    std::mt19937 random(seed);
    for (std::size_t i = field::LegacyData; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(random());
    return bytes;
}

enum class Road { FullDecode, BlockSums };

// The BMP bytes of level 0 reduced to width x height by one road or the other.
std::vector<std::uint8_t> reduced(Road road, const std::vector<std::uint8_t> &dds, std::uint32_t width,
                                  std::uint32_t height, bool grey)
{
    MemoryByteSource source(dds.data(), dds.size());
    const auto layout = readDdsLayout(source);
    MemoryByteSink sink;
    BmpWriter writer(sink, grey);
    AreaReducer reducer(width, height, writer);
    if (!layout)
        return {};
    const bool done = road == Road::FullDecode ? decodeDdsLevel(source, *layout, 0, reducer)
                                               : reduceByBlockSums(source, *layout, 0, width, height, writer);
    return done ? sink.bytes() : std::vector<std::uint8_t>();
}

} // namespace

class BlockSumsTest : public QObject
{
    Q_OBJECT

private slots:
    void blockSumsEqualTheDecodedPixels()
    {
        std::mt19937 random(7);
        for (int i = 0; i < 20000; ++i) {
            std::uint8_t block[16];
            for (std::uint8_t &byte : block)
                byte = std::uint8_t(random());
            if (i % 4 == 0) // equal end colours: both palette modes' edge
                std::copy(block, block + 2, block + 2);
            for (const auto &[flags, colourAt] : {std::pair{squish::kDxt1, 0}, std::pair{squish::kDxt3, 8},
                                                  std::pair{squish::kDxt5, 8}}) {
                std::uint8_t pixels[64];
                squish::Decompress(pixels, block, flags);
                std::uint64_t decoded[3] = {};
                for (int p = 0; p < 16; ++p)
                    for (int c = 0; c < 3; ++c)
                        decoded[c] += pixels[p * 4 + c];
                std::uint64_t sums[3];
                colourBlockSums(block + colourAt, flags == squish::kDxt1, sums);
                for (int c = 0; c < 3; ++c)
                    QCOMPARE(sums[c], decoded[c]);
            }
        }
    }

    void reductionMatchesTheFullDecode_data()
    {
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("fourCC");
        QTest::addColumn<QSize>("level");
        QTest::addColumn<QSize>("output");
        QTest::addColumn<bool>("grey");
        QTest::newRow("DXT1 4:1") << int(Block::Bc1) << "DXT1" << QSize(256, 128) << QSize(64, 32) << false;
        QTest::newRow("DXT5 4:1") << int(Block::Bc3) << "DXT5" << QSize(128, 256) << QSize(32, 64) << false;
        QTest::newRow("DXT1 8:1 by 4:1, grey") << int(Block::Bc1) << "DXT1" << QSize(256, 128) << QSize(32, 32) << true;
        QTest::newRow("DXT3 16:1") << int(Block::Bc2) << "DXT3" << QSize(512, 512) << QSize(32, 32) << false;
        QTest::newRow("DXT5 12:1, tall") << int(Block::Bc3) << "DXT5" << QSize(96, 480) << QSize(8, 40) << false;
        QTest::newRow("DXT5 to one pixel") << int(Block::Bc3) << "DXT5" << QSize(64, 64) << QSize(1, 1) << false;
        QTest::newRow("DXT1 halved") << int(Block::Bc1) << "DXT1" << QSize(256, 128) << QSize(128, 64) << false;
        QTest::newRow("DXT3 halved, grey") << int(Block::Bc2) << "DXT3" << QSize(64, 192) << QSize(32, 96) << true;
        QTest::newRow("DXT5 halved, one block row") << int(Block::Bc3) << "DXT5" << QSize(8, 4) << QSize(4, 2) << false;
    }

    void reductionMatchesTheFullDecode()
    {
        QFETCH(int, block);
        QFETCH(QString, fourCC);
        QFETCH(QSize, level);
        QFETCH(QSize, output);
        QFETCH(bool, grey);
        const auto dds = randomBlockDds(std::uint32_t(level.width()), std::uint32_t(level.height()), Block(block),
                                        fourCC.toStdString().c_str(), 11);
        const auto width = std::uint32_t(output.width()), height = std::uint32_t(output.height());
        const auto expected = reduced(Road::FullDecode, dds, width, height, grey);
        QVERIFY(!expected.empty());
        QVERIFY(reduced(Road::BlockSums, dds, width, height, grey) == expected);
    }

    void onlyWholeBlocksOrQuartersPerPixelTakeTheShortCut_data()
    {
        QTest::addColumn<int>("block");
        QTest::addColumn<QSize>("output");
        QTest::addColumn<bool>("taken");
        QTest::newRow("4:1") << int(Block::Bc1) << QSize(64, 32) << true;
        QTest::newRow("2:1") << int(Block::Bc1) << QSize(128, 64) << true;
        QTest::newRow("2:1 across, 4:1 down") << int(Block::Bc1) << QSize(128, 32) << false;
        QTest::newRow("6:1 across") << int(Block::Bc3) << QSize(42, 32) << false;
        QTest::newRow("not a whole ratio") << int(Block::Bc1) << QSize(60, 30) << false;
        QTest::newRow("BC4 keeps the decoder") << int(Block::Bc4) << QSize(64, 32) << false;
    }

    void onlyWholeBlocksOrQuartersPerPixelTakeTheShortCut()
    {
        QFETCH(int, block);
        QFETCH(QSize, output);
        QFETCH(bool, taken);
        const char *fourCC = Block(block) == Block::Bc1 ? "DXT1" : Block(block) == Block::Bc3 ? "DXT5" : "BC4U";
        const auto dds = legacyBlockDds({solid(256, 128, 1, 2, 3)}, Block(block), fourCC);
        MemoryByteSource source(dds.data(), dds.size());
        const auto layout = readDdsLayout(source);
        QVERIFY(layout.has_value());
        QCOMPARE(canReduceByBlockSums(*layout, 0, std::uint32_t(output.width()), std::uint32_t(output.height())),
                 taken);
    }

    void largePreviewWithoutMipmapsIsTheFullDecodesMean()
    {
        // Through the entry points: 1024 square, no levels, hint 2 wants 128.
        const RgbaImage picture = gradient(1024, 1024, 3);
        QTemporaryDir folder;
        const auto dds = legacyBlockDds({picture}, Block::Bc1, "DXT1");
        const QString path = save(folder, "flat.dds", dds);
        const auto converted = convert(path, folder, 1, 2);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->size(), QSize(128, 128));
        const auto expected = reduced(Road::FullDecode, dds, 128, 128, false);
        QImage reference;
        QVERIFY(reference.loadFromData(expected.data(), int(expected.size()), "BMP"));
        QCOMPARE(largestDifference(*converted, reference.convertToFormat(QImage::Format_RGB32)), 0);
    }
};

int runBlockSumsTests(int argc, char **argv)
{
    BlockSumsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_BlockSums.moc"
