#pragma once

#include "PixelRows.h"

namespace korrad {

// Pairs of pixels in four bytes: YUY2 and UYVY share their colour difference
// values, R8G8_B8G8 and G8R8_G8B8 their red and blue. A row of odd width
// still stores a whole last pair.
class PairPixels final : public PixelRowDecoder
{
public:
    explicit PairPixels(PixelPairOrder order) : m_order(order) {}
    void decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const override;

private:
    PixelPairOrder m_order;
};

} // namespace korrad
