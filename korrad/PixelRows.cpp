#include "PixelRows.h"

#include "BitMaskPixels.h"
#include "ChannelPixels.h"
#include "PackedFloatPixels.h"
#include "PairPixels.h"
#include "PalettePixels.h"

namespace korrad {

std::unique_ptr<PixelRowDecoder> makePixelRowDecoder(const DdsLayout &layout)
{
    switch (layout.encoding) {
    case PixelEncoding::BitMask:
        return std::make_unique<BitMaskPixels>(layout.bitMask);
    case PixelEncoding::Channels:
        return std::make_unique<ChannelPixels>(layout.channels);
    case PixelEncoding::Palette:
        return std::make_unique<PalettePixels>(layout.palette);
    case PixelEncoding::PixelPairs:
        return std::make_unique<PairPixels>(layout.pairOrder);
    case PixelEncoding::PackedFloats:
        return std::make_unique<PackedFloatPixels>(layout.packedFloats);
    default:
        return nullptr;
    }
}

} // namespace korrad
