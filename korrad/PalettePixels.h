#pragma once

#include "PixelRows.h"

namespace korrad {

// Indices into the header's palette: 4-bit (two pixels a byte, the first in
// the high half, as 4-bit Windows pictures store them), 8-bit, or 8-bit with
// an alpha byte above, which the picture does not use.
class PalettePixels final : public PixelRowDecoder
{
public:
    explicit PalettePixels(const PaletteFormat &format) : m_format(format) {}
    void decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const override;

private:
    PaletteFormat m_format;
};

} // namespace korrad
