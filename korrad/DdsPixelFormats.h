#pragma once

#include "DdsLayout.h"

#include <cstdint>

namespace korrad {

std::uint32_t le32(const std::uint8_t *bytes);

constexpr std::uint32_t fourCC(const char (&code)[5])
{
    return std::uint32_t(std::uint8_t(code[0])) | std::uint32_t(std::uint8_t(code[1])) << 8
           | std::uint32_t(std::uint8_t(code[2])) << 16 | std::uint32_t(std::uint8_t(code[3])) << 24;
}

// Sets the layout's encoding and pixel format from the header's 32-byte
// pixel format; false for every format the decoder does not read. A palette
// format leaves the colours to be read from after the header.
bool applyLegacyPixelFormat(const std::uint8_t *pixelFormat, DdsLayout &layout);

// The same for a DXGI format number from the DX10 header extension.
bool applyDxgiFormat(std::uint32_t dxgi, DdsLayout &layout);

} // namespace korrad
