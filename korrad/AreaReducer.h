#pragma once

#include "RowConsumer.h"

#include <vector>

namespace korrad {

// Shrinks a picture to a smaller size with an area (box) filter: each output
// pixel is the mean of the source area it covers, partial pixels weighted by
// how much of them it covers. Works a row at a time and keeps at most two
// output rows in flight, so memory stays at a few rows whatever the source.
class AreaReducer final : public RowConsumer
{
public:
    AreaReducer(std::uint32_t outputWidth, std::uint32_t outputHeight, RowConsumer &next);

    bool begin(std::uint32_t width, std::uint32_t height) override;
    bool row(std::uint32_t y, const std::uint8_t *rgba) override;
    bool finish() override;

private:
    struct Pending
    {
        std::int64_t outputRow = -1;
        std::vector<std::uint32_t> wholeSums; // used when both ratios are whole numbers
        std::vector<float> weightedSums;
    };

    Pending *pendingFor(std::uint32_t outputRow);
    void accumulate(Pending &pending, const std::uint8_t *rgba, std::uint32_t weight);
    bool flush(Pending &pending);
    bool flushAbove(std::uint32_t outputRow);

    RowConsumer &m_next;
    std::uint32_t m_outWidth;
    std::uint32_t m_outHeight;
    std::uint32_t m_inWidth = 0;
    std::uint32_t m_inHeight = 0;
    std::uint32_t m_rowsLeft = 0;
    bool m_passThrough = false;
    bool m_wholeRatios = false;
    Pending m_pending[2];
    // Per source column: first output column touched and the weights (in
    // units of 1/outWidth of a source pixel) given to it and to the next.
    std::vector<std::uint32_t> m_columnTarget;
    std::vector<std::uint32_t> m_columnWeight;
    std::vector<double> m_rowSums;
    std::vector<std::uint8_t> m_outLine;
};

} // namespace korrad
