#pragma once

#include "DdsHeader.h"
#include "DdsLayout.h"

#include <cstdint>

namespace korrad {

using dds::fourCC;
using dds::le32;

// Sets the layout's encoding and pixel format from the header's pixel
// format; false for every format the decoder does not read. A palette
// format leaves the colours to be read from after the header.
bool applyLegacyPixelFormat(const dds::PixelFormat &pixelFormat, DdsLayout &layout);

// The same for a DXGI format number from the DX10 header extension.
bool applyDxgiFormat(std::uint32_t dxgi, DdsLayout &layout);

} // namespace korrad
