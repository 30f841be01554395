// The streaming area filter on its own, against a plain double-precision
// integration of the same areas.

#include "AreaReducer.h"

#include <QTest>

#include <cmath>
#include <random>
#include <vector>

using namespace korrad;

namespace {

class CollectedRows : public RowConsumer
{
public:
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint32_t> order;
    bool finished = false;

    bool begin(std::uint32_t w, std::uint32_t h) override
    {
        width = w;
        height = h;
        pixels.assign(std::size_t(w) * h * 4, 0);
        return true;
    }
    bool row(std::uint32_t y, const std::uint8_t *rgba) override
    {
        order.push_back(y);
        std::copy(rgba, rgba + std::size_t(width) * 4, pixels.begin() + std::ptrdiff_t(std::size_t(y) * width * 4));
        return true;
    }
    bool finish() override
    {
        finished = true;
        return true;
    }
};

std::vector<std::uint8_t> randomPicture(std::uint32_t width, std::uint32_t height, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * 4);
    for (auto &value : pixels)
        value = std::uint8_t(random());
    return pixels;
}

bool feed(RowConsumer &consumer, const std::vector<std::uint8_t> &pixels, std::uint32_t width, std::uint32_t height)
{
    if (!consumer.begin(width, height))
        return false;
    for (std::uint32_t y = height; y-- > 0;)
        if (!consumer.row(y, pixels.data() + std::size_t(y) * width * 4))
            return false;
    return consumer.finish();
}

double integrated(const std::vector<std::uint8_t> &pixels, std::uint32_t width, std::uint32_t height,
                  std::uint32_t outWidth, std::uint32_t outHeight, std::uint32_t ox, std::uint32_t oy, int channel)
{
    const double sx = double(width) / outWidth, sy = double(height) / outHeight;
    const double x0 = ox * sx, x1 = (ox + 1) * sx, y0 = oy * sy, y1 = (oy + 1) * sy;
    double sum = 0;
    for (std::uint32_t y = std::uint32_t(y0); y < height && y < y1; ++y)
        for (std::uint32_t x = std::uint32_t(x0); x < width && x < x1; ++x) {
            const double cover = (std::min(x1, x + 1.0) - std::max(x0, double(x)))
                                 * (std::min(y1, y + 1.0) - std::max(y0, double(y)));
            sum += cover * pixels[(std::size_t(y) * width + x) * 4 + std::size_t(channel)];
        }
    return sum / (sx * sy);
}

} // namespace

class AreaReducerTest : public QObject
{
    Q_OBJECT

private slots:
    void meanOfCoveredArea_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("outWidth");
        QTest::addColumn<int>("outHeight");
        QTest::newRow("halves") << 16 << 8 << 8 << 4;
        QTest::newRow("whole ratios") << 96 << 40 << 12 << 5;
        QTest::newRow("thirds into halves") << 9 << 6 << 6 << 4;
        QTest::newRow("broken ratios") << 37 << 23 << 10 << 7;
        QTest::newRow("one axis only") << 50 << 9 << 17 << 9;
        QTest::newRow("down to one pixel") << 13 << 11 << 1 << 1;
        QTest::newRow("one row") << 300 << 1 << 7 << 1;
    }

    void meanOfCoveredArea()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, outWidth);
        QFETCH(int, outHeight);
        const auto w = std::uint32_t(width), h = std::uint32_t(height);
        const auto ow = std::uint32_t(outWidth), oh = std::uint32_t(outHeight);
        const auto pixels = randomPicture(w, h, unsigned(width * 31 + height));
        CollectedRows collected;
        AreaReducer reducer(ow, oh, collected);
        QVERIFY(feed(reducer, pixels, w, h));
        QVERIFY(collected.finished);
        QCOMPARE(collected.width, ow);
        QCOMPARE(collected.height, oh);

        // Every output row once, bottom row first.
        QCOMPARE(collected.order.size(), std::size_t(oh));
        for (std::size_t i = 0; i < collected.order.size(); ++i)
            QCOMPARE(collected.order[i], oh - 1 - std::uint32_t(i));

        for (std::uint32_t oy = 0; oy < oh; ++oy)
            for (std::uint32_t ox = 0; ox < ow; ++ox)
                for (int c = 0; c < 3; ++c) {
                    const double expected = integrated(pixels, w, h, ow, oh, ox, oy, c);
                    const int got = collected.pixels[(std::size_t(oy) * ow + ox) * 4 + std::size_t(c)];
                    if (std::abs(got - expected) > 0.5 + 1e-6)
                        QFAIL(qPrintable(QString("pixel %1,%2 channel %3 is %4, area mean %5")
                                             .arg(ox).arg(oy).arg(c).arg(got).arg(expected)));
                }
    }

    void sameSizePassesRowsUntouched()
    {
        const auto pixels = randomPicture(7, 5, 3);
        CollectedRows collected;
        AreaReducer reducer(7, 5, collected);
        QVERIFY(feed(reducer, pixels, 7, 5));
        QVERIFY(collected.pixels == pixels);
    }

    void refusesToEnlargeOrToTakeRowsOutOfOrder()
    {
        CollectedRows collected;
        AreaReducer larger(20, 5, collected);
        QVERIFY(!larger.begin(10, 10));
        AreaReducer empty(0, 5, collected);
        QVERIFY(!empty.begin(10, 10));

        const auto pixels = randomPicture(10, 10, 5);
        AreaReducer reducer(3, 3, collected);
        QVERIFY(reducer.begin(10, 10));
        QVERIFY(reducer.row(9, pixels.data()));
        QVERIFY(!reducer.row(2, pixels.data()));
    }
};

int runAreaReducerTests(int argc, char **argv)
{
    AreaReducerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AreaReducerTest.moc"
