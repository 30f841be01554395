#include "BitMaskPixels.h"

namespace korrad {

BitMaskPixels::BitMaskPixels(const BitMaskFormat &format)
    : m_bytesPerPixel(format.bytesPerPixel), m_grey(format.greyMask != 0)
{
    if (m_grey) {
        m_red = m_green = m_blue = describe(format.greyMask, m_bytesPerPixel);
    } else {
        m_red = describe(format.redMask, m_bytesPerPixel);
        m_green = describe(format.greenMask, m_bytesPerPixel);
        m_blue = describe(format.blueMask, m_bytesPerPixel);
    }
    m_wholeBytes = m_red.byteIndex >= 0 && m_green.byteIndex >= 0 && m_blue.byteIndex >= 0;
}

BitMaskPixels::Channel BitMaskPixels::describe(std::uint32_t mask, std::uint32_t bytesPerPixel)
{
    Channel channel;
    channel.mask = mask;
    if (mask == 0)
        return channel;
    while (!((mask >> channel.shift) & 1u))
        ++channel.shift;
    channel.maximum = mask >> channel.shift;
    if (channel.maximum == 0xff && channel.shift % 8 == 0 && channel.shift / 8 < bytesPerPixel)
        channel.byteIndex = int(channel.shift / 8);
    return channel;
}

std::uint8_t BitMaskPixels::expand(const Channel &channel, std::uint32_t value)
{
    if (channel.maximum == 0)
        return 0;
    const std::uint64_t raw = (value & channel.mask) >> channel.shift;
    return std::uint8_t((raw * 255 + channel.maximum / 2) / channel.maximum);
}

void BitMaskPixels::decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const
{
    if (m_wholeBytes) {
        const int r = m_red.byteIndex, g = m_green.byteIndex, b = m_blue.byteIndex;
        for (std::uint32_t x = 0; x < width; ++x, stored += m_bytesPerPixel, rgba += 4) {
            rgba[0] = stored[r];
            rgba[1] = stored[g];
            rgba[2] = stored[b];
            rgba[3] = 255;
        }
        return;
    }
    for (std::uint32_t x = 0; x < width; ++x, stored += m_bytesPerPixel, rgba += 4) {
        std::uint32_t value = 0;
        for (std::uint32_t i = 0; i < m_bytesPerPixel; ++i)
            value |= std::uint32_t(stored[i]) << (8 * i);
        rgba[0] = expand(m_red, value);
        rgba[1] = expand(m_green, value);
        rgba[2] = expand(m_blue, value);
        rgba[3] = 255;
    }
}

} // namespace korrad
