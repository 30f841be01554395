#pragma once

#include "DdsLayout.h"

#include <cstdint>
#include <memory>

namespace korrad {

// Turns one stored row of uncompressed pixels into 8-bit RGBA, alpha opaque.
class PixelRowDecoder
{
public:
    virtual ~PixelRowDecoder() = default;
    virtual void decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const = 0;
};

// The decoder for a layout that is not block-compressed; nothing for one that is.
std::unique_ptr<PixelRowDecoder> makePixelRowDecoder(const DdsLayout &layout);

} // namespace korrad
