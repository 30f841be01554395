#pragma once

#include <cstdint>

namespace korrad {

// One 8-bit channel from a mean: every reduction of the library rounds the
// same way, so its different roads to one picture give the same bytes.
inline std::uint8_t roundedChannel(double value)
{
    const int rounded = int(value + 0.5);
    return std::uint8_t(rounded > 255 ? 255 : rounded);
}

// The mean of a channel summed over a whole span of source pixels.
class AreaMean
{
public:
    AreaMean(std::uint32_t spanX, std::uint32_t spanY) : m_scale(1.0 / (double(spanX) * double(spanY))) {}
    std::uint8_t operator()(std::uint64_t sum) const { return roundedChannel(double(sum) * m_scale); }

private:
    double m_scale;
};

} // namespace korrad
