#include "PairPixels.h"

#include <algorithm>

namespace korrad {
namespace {

std::uint8_t clampByte(int value)
{
    return std::uint8_t(std::clamp(value, 0, 255));
}

// Studio-range BT.601, the integer conversion Microsoft documents for 8-bit
// YUV video surfaces.
void yuvToRgb(int y, int u, int v, std::uint8_t *rgba)
{
    const int c = y - 16, d = u - 128, e = v - 128;
    rgba[0] = clampByte((298 * c + 409 * e + 128) >> 8);
    rgba[1] = clampByte((298 * c - 100 * d - 208 * e + 128) >> 8);
    rgba[2] = clampByte((298 * c + 516 * d + 128) >> 8);
    rgba[3] = 255;
}

void rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t *rgba)
{
    rgba[0] = r;
    rgba[1] = g;
    rgba[2] = b;
    rgba[3] = 255;
}

} // namespace

void PairPixels::decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const
{
    for (std::uint32_t x = 0; x < width; x += 2, stored += 4) {
        std::uint8_t pair[8];
        const std::uint8_t *p = stored;
        switch (m_order) {
        case PixelPairOrder::Yuy2:
            yuvToRgb(p[0], p[1], p[3], pair);
            yuvToRgb(p[2], p[1], p[3], pair + 4);
            break;
        case PixelPairOrder::Uyvy:
            yuvToRgb(p[1], p[0], p[2], pair);
            yuvToRgb(p[3], p[0], p[2], pair + 4);
            break;
        case PixelPairOrder::GrGb:
            rgb(p[1], p[0], p[3], pair);
            rgb(p[1], p[2], p[3], pair + 4);
            break;
        case PixelPairOrder::RgBg:
            rgb(p[0], p[1], p[2], pair);
            rgb(p[0], p[3], p[2], pair + 4);
            break;
        }
        const std::uint32_t count = std::min<std::uint32_t>(2, width - x);
        std::copy(pair, pair + 4 * count, rgba + 4 * x);
    }
}

} // namespace korrad
