#pragma once

#include "DdsLayout.h"
#include "PixelRows.h"

#include <cstdint>

namespace korrad {

// Turns rows of uncompressed bit-mask pixels into 8-bit RGBA.
class BitMaskPixels final : public PixelRowDecoder
{
public:
    explicit BitMaskPixels(const BitMaskFormat &format);
    void decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const override;

private:
    struct Channel
    {
        std::uint32_t mask = 0;
        std::uint32_t shift = 0;
        std::uint64_t maximum = 0; // mask >> shift; 0 for an absent channel
        int byteIndex = -1;        // set when the channel is one whole byte
    };
    static Channel describe(std::uint32_t mask, std::uint32_t bytesPerPixel);
    static std::uint8_t expand(const Channel &channel, std::uint32_t value);

    std::uint32_t m_bytesPerPixel;
    bool m_grey;
    Channel m_red, m_green, m_blue;
    bool m_wholeBytes;
};

} // namespace korrad
