#pragma once

#include <cstdint>

namespace korrad {

// Every float format is shown clamped to 0..1 and scaled (see ChannelPixels
// for why); NaN shows black.
inline std::uint8_t floatToByte(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 255;
    return std::uint8_t(value * 255.0f + 0.5f);
}

} // namespace korrad
