#include "ChannelPixels.h"

#include "FloatToByte.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace korrad {
namespace {

std::uint16_t le16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

float halfToFloat(std::uint16_t half)
{
    const int exponent = (half >> 10) & 0x1f;
    const int mantissa = half & 0x3ff;
    float magnitude;
    if (exponent == 0)
        magnitude = std::ldexp(float(mantissa), -24);
    else if (exponent == 31)
        magnitude = mantissa ? NAN : INFINITY;
    else
        magnitude = std::ldexp(float(mantissa | 0x400), exponent - 25);
    return (half & 0x8000) ? -magnitude : magnitude;
}

// -1..1 to 0..255; the most negative stored value means -1 as well.
float signedUnit(int value, int maximum)
{
    return float(std::max(value, -maximum)) / float(maximum);
}

std::uint8_t signedToByte(int value, int maximum)
{
    const int clamped = std::max(value, -maximum);
    return std::uint8_t(((clamped + maximum) * 255 + maximum) / (2 * maximum));
}

template <ChannelType Type>
std::uint8_t channelByte(const std::uint8_t *p)
{
    if constexpr (Type == ChannelType::Unorm8) {
        return p[0];
    } else if constexpr (Type == ChannelType::Unorm16) {
        return std::uint8_t((std::uint32_t(le16(p)) * 255 + 32767) / 65535);
    } else if constexpr (Type == ChannelType::Snorm8) {
        return signedToByte(std::int8_t(p[0]), 127);
    } else if constexpr (Type == ChannelType::Snorm16) {
        return signedToByte(std::int16_t(le16(p)), 32767);
    } else if constexpr (Type == ChannelType::Half) {
        return floatToByte(halfToFloat(le16(p)));
    } else {
        float value;
        std::uint32_t bits = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                             | std::uint32_t(p[3]) << 24;
        std::memcpy(&value, &bits, sizeof value);
        return floatToByte(value);
    }
}

} // namespace

template <ChannelType Type>
void ChannelPixels::decodeRowAs(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const
{
    const std::uint32_t channelBytes = m_format.channelBytes();
    const std::uint32_t pixelBytes = m_format.bytesPerPixel();
    for (std::uint32_t x = 0; x < width; ++x, stored += pixelBytes, rgba += 4) {
        for (int c = 0; c < 3; ++c) {
            const int index = m_format.shown[std::size_t(c)];
            rgba[c] = index < 0 ? 0 : channelByte<Type>(stored + std::uint32_t(index) * channelBytes);
        }
        rgba[3] = 255;
    }
}

void ChannelPixels::decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const
{
    switch (m_format.type) {
    case ChannelType::Unorm8: decodeRowAs<ChannelType::Unorm8>(stored, width, rgba); break;
    case ChannelType::Unorm16: decodeRowAs<ChannelType::Unorm16>(stored, width, rgba); break;
    case ChannelType::Snorm8: decodeRowAs<ChannelType::Snorm8>(stored, width, rgba); break;
    case ChannelType::Snorm16: decodeRowAs<ChannelType::Snorm16>(stored, width, rgba); break;
    case ChannelType::Half: decodeRowAs<ChannelType::Half>(stored, width, rgba); break;
    case ChannelType::Float: decodeRowAs<ChannelType::Float>(stored, width, rgba); break;
    }
    if (!m_format.derivedBlue)
        return;
    // A unit normal's third component, from the two that are stored; only
    // signed 8-bit pairs (CxV8U8) are stored this way.
    const std::uint32_t pixelBytes = m_format.bytesPerPixel();
    for (std::uint32_t x = 0; x < width; ++x, stored += pixelBytes, rgba += 4) {
        const float u = signedUnit(std::int8_t(stored[0]), 127), v = signedUnit(std::int8_t(stored[1]), 127);
        const float z = std::sqrt(std::max(0.0f, 1.0f - u * u - v * v));
        rgba[2] = floatToByte((z + 1.0f) * 0.5f);
    }
}

} // namespace korrad
