#pragma once

#include <cstdint>

namespace korrad {

// Receives a picture one row of 8-bit RGBA pixels at a time, bottom row
// first: the order a BMP stores its rows, so nothing needs the whole picture
// in memory.
class RowConsumer
{
public:
    virtual ~RowConsumer() = default;
    virtual bool begin(std::uint32_t width, std::uint32_t height) = 0;
    // Rows arrive with y falling from height - 1 to 0.
    virtual bool row(std::uint32_t y, const std::uint8_t *rgba) = 0;
    virtual bool finish() = 0;
};

} // namespace korrad
