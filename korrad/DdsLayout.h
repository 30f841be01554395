#pragma once

#include "ByteSource.h"

#include <cstdint>
#include <optional>

namespace korrad {

// Largest side we accept; anything larger is refused before a byte of pixel
// data is touched.
constexpr std::uint32_t MaxTextureSide = 16384;

enum class PixelEncoding { Bc1, Bc2, Bc3, Bc4, Bc5, BitMask };

// An uncompressed pixel described by channel masks over a little-endian word.
// `greyMask` is used for luminance and alpha-only textures, which have one
// channel that the preview shows as grey.
struct BitMaskFormat
{
    std::uint32_t bytesPerPixel = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t greyMask = 0;
};

struct DdsLayout
{
    PixelEncoding encoding = PixelEncoding::Bc1;
    BitMaskFormat bitMask;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t levelCount = 1;
    std::uint64_t dataOffset = 0;

    std::uint32_t levelWidth(std::uint32_t level) const;
    std::uint32_t levelHeight(std::uint32_t level) const;
    std::uint64_t levelSize(std::uint32_t level) const;
    std::uint64_t levelOffset(std::uint32_t level) const;
    // Bytes of one stored row: a row of 4x4 blocks, or a row of pixels.
    std::uint64_t storedRowSize(std::uint32_t level) const;
    std::uint32_t storedRowCount(std::uint32_t level) const;
    bool isBlockCompressed() const { return encoding != PixelEncoding::BitMask; }
};

// True when the source starts with the DDS magic; such a file is judged by
// its header alone and never handed to another reader.
bool hasDdsMagic(ByteSource &source);

// Reads and checks the header against the source's real length. Answers
// nothing for every texture the decoder cannot convert, including a mip chain
// that does not fit in the file.
std::optional<DdsLayout> readDdsLayout(ByteSource &source);

} // namespace korrad
