#include "AreaReducer.h"

#include "AreaMean.h"

#include <algorithm>

namespace korrad {

AreaReducer::AreaReducer(std::uint32_t outputWidth, std::uint32_t outputHeight, RowConsumer &next)
    : m_next(next), m_outWidth(outputWidth), m_outHeight(outputHeight)
{
}

bool AreaReducer::begin(std::uint32_t width, std::uint32_t height)
{
    if (m_outWidth == 0 || m_outHeight == 0 || m_outWidth > width || m_outHeight > height)
        return false;
    m_inWidth = width;
    m_inHeight = height;
    m_rowsLeft = height;
    m_passThrough = width == m_outWidth && height == m_outHeight;
    if (m_passThrough)
        return m_next.begin(width, height);

    m_wholeRatios = width % m_outWidth == 0 && height % m_outHeight == 0;
    for (Pending &pending : m_pending) {
        pending.outputRow = -1;
        if (m_wholeRatios)
            pending.wholeSums.assign(std::size_t(width) * 4, 0);
        else
            pending.weightedSums.assign(std::size_t(width) * 4, 0.0f);
    }
    m_columnTarget.resize(width);
    m_columnWeight.resize(width);
    for (std::uint32_t x = 0; x < width; ++x) {
        const std::uint64_t start = std::uint64_t(x) * m_outWidth;
        const std::uint32_t target = std::uint32_t(start / width);
        const std::uint64_t boundary = std::uint64_t(target + 1) * width;
        m_columnTarget[x] = target;
        m_columnWeight[x] = std::uint32_t(std::min<std::uint64_t>(boundary - start, m_outWidth));
    }
    m_rowSums.assign(std::size_t(m_outWidth) * 3, 0.0);
    m_outLine.assign(std::size_t(m_outWidth) * 4, 255);
    return m_next.begin(m_outWidth, m_outHeight);
}

AreaReducer::Pending *AreaReducer::pendingFor(std::uint32_t outputRow)
{
    for (Pending &pending : m_pending)
        if (pending.outputRow == outputRow)
            return &pending;
    for (Pending &pending : m_pending)
        if (pending.outputRow < 0) {
            pending.outputRow = outputRow;
            return &pending;
        }
    return nullptr;
}

void AreaReducer::accumulate(Pending &pending, const std::uint8_t *rgba, std::uint32_t weight)
{
    const std::size_t count = std::size_t(m_inWidth) * 4;
    if (m_wholeRatios) {
        std::uint32_t *sums = pending.wholeSums.data();
        for (std::size_t i = 0; i < count; ++i)
            sums[i] += rgba[i];
    } else {
        float *sums = pending.weightedSums.data();
        const float w = float(weight);
        for (std::size_t i = 0; i < count; ++i)
            sums[i] += w * float(rgba[i]);
    }
}

bool AreaReducer::flush(Pending &pending)
{
    std::uint8_t *line = m_outLine.data();
    if (m_wholeRatios) {
        // Plain sums over whole blocks of source pixels.
        const std::uint32_t span = m_inWidth / m_outWidth;
        const AreaMean mean(span, m_inHeight / m_outHeight);
        const std::uint32_t *in = pending.wholeSums.data();
        for (std::uint32_t x = 0; x < m_outWidth; ++x, line += 4) {
            std::uint64_t r = 0, g = 0, b = 0;
            for (std::uint32_t k = 0; k < span; ++k, in += 4) {
                r += in[0];
                g += in[1];
                b += in[2];
            }
            line[0] = mean(r);
            line[1] = mean(g);
            line[2] = mean(b);
        }
        std::fill(pending.wholeSums.begin(), pending.wholeSums.end(), 0u);
    } else {
        // Every source pixel is weighted by its overlap, in units of 1/out of
        // a pixel along each axis, so the weights of an output pixel add up
        // to in-width times in-height.
        std::fill(m_rowSums.begin(), m_rowSums.end(), 0.0);
        double *sums = m_rowSums.data();
        const float *in = pending.weightedSums.data();
        for (std::uint32_t x = 0; x < m_inWidth; ++x, in += 4) {
            double *out = sums + std::size_t(m_columnTarget[x]) * 3;
            const double first = m_columnWeight[x];
            out[0] += first * in[0];
            out[1] += first * in[1];
            out[2] += first * in[2];
            const double second = double(m_outWidth) - first;
            if (second > 0) {
                out[3] += second * in[0];
                out[4] += second * in[1];
                out[5] += second * in[2];
            }
        }
        std::fill(pending.weightedSums.begin(), pending.weightedSums.end(), 0.0f);
        const double scale = 1.0 / (double(m_inWidth) * double(m_inHeight));
        for (std::uint32_t x = 0; x < m_outWidth; ++x, line += 4, sums += 3) {
            line[0] = roundedChannel(sums[0] * scale);
            line[1] = roundedChannel(sums[1] * scale);
            line[2] = roundedChannel(sums[2] * scale);
        }
    }
    const std::uint32_t outputRow = std::uint32_t(pending.outputRow);
    pending.outputRow = -1;
    return m_next.row(outputRow, m_outLine.data());
}

bool AreaReducer::flushAbove(std::uint32_t outputRow)
{
    // Higher rows first: rows travel bottom-up.
    Pending *first = &m_pending[0];
    Pending *second = &m_pending[1];
    if (second->outputRow > first->outputRow)
        std::swap(first, second);
    for (Pending *pending : {first, second})
        if (pending->outputRow > std::int64_t(outputRow) && !flush(*pending))
            return false;
    return true;
}

bool AreaReducer::row(std::uint32_t y, const std::uint8_t *rgba)
{
    // The two rows in flight only add up when every row comes once, in order.
    if (m_rowsLeft == 0 || y != m_rowsLeft - 1)
        return false;
    --m_rowsLeft;
    if (m_passThrough)
        return m_next.row(y, rgba);
    // Source row y covers [y*out, (y+1)*out) and output row r covers
    // [r*in, (r+1)*in): as the source is larger, a row touches one or two.
    const std::uint64_t start = std::uint64_t(y) * m_outHeight;
    const std::uint64_t end = start + m_outHeight;
    const std::uint32_t target = std::uint32_t(start / m_inHeight);
    const std::uint64_t boundary = std::uint64_t(target + 1) * m_inHeight;

    if (end > boundary) {
        Pending *upper = pendingFor(target + 1);
        if (!upper)
            return false;
        accumulate(*upper, rgba, std::uint32_t(end - boundary));
    }
    Pending *lower = pendingFor(target);
    if (!lower)
        return false;
    accumulate(*lower, rgba, std::uint32_t(std::min(end, boundary) - start));

    if (!flushAbove(target))
        return false;
    if (start == std::uint64_t(target) * m_inHeight && !flush(*lower))
        return false;
    return true;
}

bool AreaReducer::finish()
{
    if (m_rowsLeft != 0)
        return false;
    if (m_passThrough)
        return m_next.finish();
    for (const Pending &pending : m_pending)
        if (pending.outputRow >= 0)
            return false;
    return m_next.finish();
}

} // namespace korrad
