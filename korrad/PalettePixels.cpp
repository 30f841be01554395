#include "PalettePixels.h"

namespace korrad {

void PalettePixels::decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const
{
    for (std::uint32_t x = 0; x < width; ++x, rgba += 4) {
        std::uint32_t index;
        if (m_format.indexBits == 4)
            index = (x % 2 ? stored[x / 2] : stored[x / 2] >> 4) & 0xf;
        else
            index = stored[x * (m_format.indexBits / 8)];
        // 4-bit files have 16 colours; an index beyond them is black.
        if (index >= m_format.colourCount) {
            rgba[0] = rgba[1] = rgba[2] = 0;
        } else {
            const std::uint8_t *colour = m_format.colours.data() + index * 4;
            rgba[0] = colour[0];
            rgba[1] = colour[1];
            rgba[2] = colour[2];
        }
        rgba[3] = 255;
    }
}

} // namespace korrad
