#pragma once

#include "PixelRows.h"

namespace korrad {

// Whole 8-, 16- or 32-bit channels, unsigned, signed or float, to 8-bit RGB.
// Unsigned values are scaled to 0..255. Signed ones are shown the way normal
// maps are: -1..1 spread over 0..255, so that 0 is mid grey. Half and single
// floats are clamped to 0..1 and scaled, with no tone mapping and no gamma:
// a preview of a paint should show the stored values as a paint program
// shows them, and a texture of such values is mostly 0..1 data anyway;
// brighter values show as white, negative ones and NaN as black.
class ChannelPixels final : public PixelRowDecoder
{
public:
    explicit ChannelPixels(const ChannelFormat &format) : m_format(format) {}
    void decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const override;

private:
    template <ChannelType Type>
    void decodeRowAs(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const;

    ChannelFormat m_format;
};

} // namespace korrad
