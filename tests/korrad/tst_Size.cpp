// Which stored level a conversion decodes, and the size it writes.

#include "KorradTestSupport.h"
#include "OutputPlan.h"

#include <QTest>

using namespace korradtest;
using namespace ddstest;

namespace {

// Colours DXT1 stores exactly, one per level, so the output tells which
// level was decoded.
const std::uint8_t LevelColours[][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0},
                                        {0, 255, 255}, {255, 0, 255}, {255, 255, 255}, {0, 0, 0}};

std::vector<RgbaImage> colouredLevels(std::uint32_t width, std::uint32_t height, std::uint32_t count)
{
    std::vector<RgbaImage> levels;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto *c = LevelColours[i % std::size(LevelColours)];
        levels.push_back(solid(std::max(width >> i, 1u), std::max(height >> i, 1u), c[0], c[1], c[2]));
    }
    return levels;
}

int levelShown(const QImage &image)
{
    const QRgb centre = image.pixel(image.width() / 2, image.height() / 2);
    for (int i = 0; i < int(std::size(LevelColours)); ++i)
        if (centre == qRgb(LevelColours[i][0], LevelColours[i][1], LevelColours[i][2]))
            return i;
    return -1;
}

// Mean of the source area each output pixel covers, by plain integration in
// doubles: the reference the library's area filter must meet.
QImage areaMean(const RgbaImage &source, int width, int height)
{
    QImage result(width, height, QImage::Format_RGB32);
    const double sx = double(source.width) / width, sy = double(source.height) / height;
    for (int oy = 0; oy < height; ++oy)
        for (int ox = 0; ox < width; ++ox) {
            double sums[3] = {};
            const double x0 = ox * sx, x1 = (ox + 1) * sx, y0 = oy * sy, y1 = (oy + 1) * sy;
            for (int y = int(y0); y < int(std::ceil(y1)) && y < int(source.height); ++y)
                for (int x = int(x0); x < int(std::ceil(x1)) && x < int(source.width); ++x) {
                    const double cover = (std::min(x1, x + 1.0) - std::max(x0, double(x)))
                                         * (std::min(y1, y + 1.0) - std::max(y0, double(y)));
                    for (int c = 0; c < 3; ++c)
                        sums[c] += cover * source.at(std::uint32_t(x), std::uint32_t(y))[c];
                }
            const double area = sx * sy;
            result.setPixel(ox, oy, qRgb(int(std::lround(sums[0] / area)), int(std::lround(sums[1] / area)),
                                         int(std::lround(sums[2] / area))));
        }
    return result;
}

RgbaImage checkerboard(std::uint32_t width, std::uint32_t height)
{
    RgbaImage image(width, height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t v = (x + y) % 2 ? 255 : 0;
            std::uint8_t *p = image.at(x, y);
            p[0] = v;
            p[1] = std::uint8_t(255 - v);
            p[2] = std::uint8_t(x * 7 + y * 3);
        }
    return image;
}

} // namespace

class SizeTest : public QObject
{
    Q_OBJECT

private slots:
    // A stored level of the preview's own size shows its block artefacts;
    // the mean of one twice as large hides them.
    void previewReducesTheSmallestLevelTwiceItsSize_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("hint");
        QTest::addColumn<int>("level");
        QTest::addColumn<QSize>("size");
        QTest::newRow("preview, hint 1") << 1 << 1 << 0 << QSize(512, 256);
        QTest::newRow("preview, hint 2") << 1 << 2 << 0 << QSize(128, 64);
        QTest::newRow("preview, hint 3") << 1 << 3 << 0 << QSize(64, 32);
        QTest::newRow("preview, full size") << 1 << 0 << 0 << QSize(1024, 512);
        QTest::newRow("export, hint 2") << 2 << 2 << 0 << QSize(1024, 512);
        QTest::newRow("export, full size") << 2 << 0 << 0 << QSize(1024, 512);
    }

    void previewReducesTheSmallestLevelTwiceItsSize()
    {
        QFETCH(int, mode);
        QFETCH(int, hint);
        QFETCH(int, level);
        QFETCH(QSize, size);
        QTemporaryDir folder;
        const QString path = save(folder, "levels.dds", legacyBlockDds(colouredLevels(1024, 512, 11), Block::Bc1, "DXT1"));
        const auto converted = convert(path, folder, mode, hint);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->size(), size);
        QCOMPARE(levelShown(*converted), level);
    }

    void tallTextureUsesItsLongerSide()
    {
        QTemporaryDir folder;
        const QString path = save(folder, "tall.dds", legacyBlockDds(colouredLevels(256, 1024, 11), Block::Bc3, "DXT5"));
        const auto converted = convert(path, folder, 1, 2);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->size(), QSize(32, 128));
        QCOMPARE(levelShown(*converted), 0);
    }

    void planTakesALevelTwiceTheWantedSideOrFiner_data()
    {
        QTest::addColumn<QSize>("texture");
        QTest::addColumn<int>("levels");
        QTest::addColumn<int>("hint");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("level");
        QTest::addColumn<QSize>("size");
        QTest::newRow("4096, hint 1") << QSize(4096, 4096) << 13 << 1 << 0 << 2 << QSize(512, 512);
        QTest::newRow("4096, hint 2") << QSize(4096, 4096) << 13 << 2 << 0 << 2 << QSize(128, 128);
        QTest::newRow("4096, hint 3") << QSize(4096, 4096) << 13 << 3 << 0 << 2 << QSize(64, 64);
        QTest::newRow("8192 by 1024, hint 1") << QSize(8192, 1024) << 14 << 1 << 0 << 2 << QSize(512, 64);
        QTest::newRow("tall, hint 1") << QSize(1024, 4096) << 13 << 1 << 0 << 1 << QSize(128, 512);
        QTest::newRow("wide, hint 1") << QSize(2048, 512) << 12 << 1 << 0 << 0 << QSize(512, 128);
        QTest::newRow("side 256") << QSize(2048, 2048) << 12 << 1 << 256 << 1 << QSize(256, 256);
        QTest::newRow("side 100, not a power of two") << QSize(2048, 1024) << 12 << 1 << 100 << 1 << QSize(100, 50);
        QTest::newRow("side 1000") << QSize(4096, 4096) << 13 << 1 << 1000 << 1 << QSize(1000, 1000);
        QTest::newRow("level 0 under twice the side") << QSize(700, 700) << 10 << 1 << 0 << 0 << QSize(512, 512);
        QTest::newRow("level 0 of the side itself") << QSize(512, 256) << 10 << 1 << 0 << 0 << QSize(512, 256);
        QTest::newRow("smaller than wanted") << QSize(300, 200) << 9 << 1 << 0 << 0 << QSize(300, 200);
        QTest::newRow("short chain, its smallest level") << QSize(4096, 4096) << 2 << 3 << 0 << 1 << QSize(64, 64);
    }

    void planTakesALevelTwiceTheWantedSideOrFiner()
    {
        QFETCH(QSize, texture);
        QFETCH(int, levels);
        QFETCH(int, hint);
        QFETCH(int, side);
        QFETCH(int, level);
        QFETCH(QSize, size);
        korrad::ConversionRequest request{1, hint, false};
        request.side = std::uint32_t(side);
        const auto plan = korrad::planOutput(std::uint32_t(texture.width()), std::uint32_t(texture.height()),
                                             std::uint32_t(levels), request);
        QVERIFY(plan.has_value());
        QCOMPARE(int(plan->level), level);
        QCOMPARE(QSize(int(plan->width), int(plan->height)), size);
    }

    void textureWithoutMipmapsIsShrunkByAreaMean_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("hint");
        QTest::addColumn<QSize>("size");
        QTest::newRow("whole ratio") << 1024 << 1024 << 1 << QSize(512, 512);
        QTest::newRow("whole ratio, hint 3") << 1024 << 512 << 3 << QSize(64, 32);
        QTest::newRow("broken ratio") << 600 << 400 << 1 << QSize(512, 341);
        QTest::newRow("broken ratio, tall") << 150 << 700 << 2 << QSize(27, 128);
        QTest::newRow("barely larger") << 513 << 97 << 1 << QSize(512, 97);
    }

    void textureWithoutMipmapsIsShrunkByAreaMean()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, hint);
        QFETCH(QSize, size);
        const RgbaImage source = checkerboard(std::uint32_t(width), std::uint32_t(height));
        QTemporaryDir folder;
        const QString path = save(folder, "flat.dds", legacyBitMaskDds({source}, a8r8g8b8()));
        const auto converted = convert(path, folder, 1, hint);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->size(), size);
        const int difference = largestDifference(*converted, areaMean(source, size.width(), size.height()));
        QVERIFY2(difference >= 0 && difference <= 1, qPrintable(QString("off by %1").arg(difference)));
    }

    void smallTextureIsWrittenAsItIs()
    {
        const RgbaImage source = gradient(100, 60);
        QTemporaryDir folder;
        const QString path = save(folder, "small.dds", legacyBitMaskDds({source}, r8g8b8()));
        for (int hint : {1, 2}) {
            const auto converted = convert(path, folder, 1, hint);
            QVERIFY(converted.has_value());
            QCOMPARE(largestDifference(*converted, toQImage(source)), 0);
        }
        const auto reduced = convert(path, folder, 1, 3);
        QVERIFY(reduced.has_value());
        QCOMPARE(reduced->size(), QSize(64, 38));
    }
};

int runSizeTests(int argc, char **argv)
{
    SizeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Size.moc"
