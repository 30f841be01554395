#pragma once

#include "ByteSource.h"
#include "DdsLayout.h"
#include "RowConsumer.h"

#include <cstdint>

namespace korrad {

// Red, green and blue summed over the 16 pixels of a BC1, BC2 or BC3 colour
// block: exactly what decoding the block and adding up its pixels gives, from
// the two end colours and how often each palette entry is used. `bc1` allows
// the three-colour mode, whose fourth entry is black.
void colourBlockSums(const std::uint8_t *colourBlock, bool bc1, std::uint64_t sums[3]);

// True when every pixel of a width x height reduction of the level is the
// mean of whole 4x4 blocks of a colour-block encoding, so the reduction can
// be made from block sums without decoding a pixel. Alpha is left out: the
// written picture has none.
bool canReduceByBlockSums(const DdsLayout &layout, std::uint32_t level, std::uint32_t width,
                          std::uint32_t height);

// The same rows, rounded the same way, as decoding the level in full and
// reducing it by area means; bottom row first.
bool reduceByBlockSums(ByteSource &source, const DdsLayout &layout, std::uint32_t level, std::uint32_t width,
                       std::uint32_t height, RowConsumer &consumer);

} // namespace korrad
