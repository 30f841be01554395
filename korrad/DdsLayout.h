#pragma once

#include "ByteSource.h"

#include <array>
#include <cstdint>
#include <optional>

namespace korrad {

// Largest side we accept; anything larger is refused before a byte of pixel
// data is touched. Volume textures' depth is held to the same limit.
constexpr std::uint32_t MaxTextureSide = 16384;

enum class PixelEncoding {
    Bc1,
    Bc2,
    Bc3,
    Bc3Rxgb, // BC3 whose alpha holds red: DXT5 normal maps with the red channel moved out of the colour block
    Bc4,
    Bc5,
    BitMask,
    Channels,
    Palette,
    PixelPairs,
    PackedFloats,
};

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

enum class ChannelType : std::uint8_t { Unorm8, Unorm16, Snorm8, Snorm16, Half, Float };

// Whole channels of one type side by side, red first, as the DXGI formats and
// the numbered legacy formats store them.
struct ChannelFormat
{
    ChannelType type = ChannelType::Unorm8;
    std::uint32_t channelCount = 0;
    // The stored channel each of red, green and blue shows; -1 shows nothing.
    std::array<std::int8_t, 3> shown{-1, -1, -1};
    // Two-channel normal maps whose third component is worked out from the
    // first two: blue shows that component.
    bool derivedBlue = false;

    std::uint32_t channelBytes() const;
    std::uint32_t bytesPerPixel() const { return channelBytes() * channelCount; }
};

// Indices into the colours stored after the header: four bytes an entry,
// red, green, blue and a flag or alpha byte that the picture does not use.
struct PaletteFormat
{
    std::uint32_t indexBits = 8; // 4, 8, or 16 for an index with an alpha byte above it
    std::uint32_t colourCount = 256;
    std::array<std::uint8_t, 256 * 4> colours{};
};

// Two pixels in four bytes sharing some of their values.
enum class PixelPairOrder {
    Yuy2, // Y0 U Y1 V
    Uyvy, // U Y0 V Y1
    GrGb, // G0 R G1 B
    RgBg, // R G0 B G1
};

// Unsigned floats of a few bits in one 32-bit word, as HDR tools write them.
enum class PackedFloatKind {
    R11G11B10, // 6-bit mantissas for red and green, 5 for blue, each with its 5-bit exponent
    R9G9B9E5, // 9-bit mantissas sharing one 5-bit exponent
};

struct DdsLayout
{
    PixelEncoding encoding = PixelEncoding::Bc1;
    BitMaskFormat bitMask;
    ChannelFormat channels;
    PaletteFormat palette;
    PixelPairOrder pairOrder = PixelPairOrder::Yuy2;
    PackedFloatKind packedFloats = PackedFloatKind::R11G11B10;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // The levels of the first picture the file holds: the first face of a
    // cube map, the first element of an array, the first slice of a volume.
    std::uint32_t levelCount = 1;
    std::uint64_t dataOffset = 0;

    std::uint32_t levelWidth(std::uint32_t level) const;
    std::uint32_t levelHeight(std::uint32_t level) const;
    std::uint64_t levelSize(std::uint32_t level) const;
    std::uint64_t levelOffset(std::uint32_t level) const;
    // Bytes of one stored row: a row of 4x4 blocks, or a row of pixels.
    std::uint64_t storedRowSize(std::uint32_t level) const;
    std::uint32_t storedRowCount(std::uint32_t level) const;
    bool isBlockCompressed() const;
};

// True when the source starts with the DDS magic; such a file is judged by
// its header alone and never handed to another reader.
bool hasDdsMagic(ByteSource &source);

// Reads and checks the header against the source's real length. Answers
// nothing for every texture the decoder cannot convert, including one whose
// faces, slices, array elements or mip levels do not all fit in the file.
std::optional<DdsLayout> readDdsLayout(ByteSource &source);

} // namespace korrad
