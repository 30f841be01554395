#include "PackedFloatPixels.h"

#include "FloatToByte.h"

#include <cmath>

namespace korrad {
namespace {

// A float of a 5-bit exponent (bias 15) and `mantissaBits` of mantissa, no sign.
float smallFloat(std::uint32_t bits, int mantissaBits)
{
    const std::uint32_t exponent = bits >> mantissaBits;
    const std::uint32_t mantissa = bits & ((1u << mantissaBits) - 1);
    if (exponent == 0)
        return std::ldexp(float(mantissa), -14 - mantissaBits);
    if (exponent == 31)
        return mantissa ? NAN : INFINITY;
    return std::ldexp(float(mantissa | (1u << mantissaBits)), int(exponent) - 15 - mantissaBits);
}

} // namespace

void PackedFloatPixels::decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const
{
    for (std::uint32_t x = 0; x < width; ++x, stored += 4, rgba += 4) {
        const std::uint32_t word = std::uint32_t(stored[0]) | std::uint32_t(stored[1]) << 8
                                   | std::uint32_t(stored[2]) << 16 | std::uint32_t(stored[3]) << 24;
        if (m_kind == PackedFloatKind::R11G11B10) {
            rgba[0] = floatToByte(smallFloat(word & 0x7ff, 6));
            rgba[1] = floatToByte(smallFloat((word >> 11) & 0x7ff, 6));
            rgba[2] = floatToByte(smallFloat(word >> 22, 5));
        } else {
            // Each 9-bit mantissa times 2^(exponent - 15 - 9).
            const int scale = int(word >> 27) - 24;
            for (int c = 0; c < 3; ++c)
                rgba[c] = floatToByte(std::ldexp(float((word >> (9 * c)) & 0x1ff), scale));
        }
        rgba[3] = 255;
    }
}

} // namespace korrad
