#include "DdsLayout.h"

#include "DdsPixelFormats.h"

#include <algorithm>
#include <array>
#include <bit>

namespace korrad {
namespace {

using namespace dds;

constexpr std::uint64_t LegacyDataOffset = LegacyHeaderBytes;
constexpr std::uint64_t Dx10DataOffset = Dx10HeaderBytes;

constexpr std::uint32_t Dx10DimensionUnknown = 0;
constexpr std::uint32_t Dx10Texture2D = 3;
constexpr std::uint32_t Dx10Texture3D = 4;
constexpr std::uint32_t Dx10MiscCube = 0x4;

std::uint32_t fullChainLength(std::uint32_t longestSide)
{
    return std::uint32_t(std::bit_width(longestSide));
}

// How the file's pictures are stored beyond the first: every face and array
// element holds a whole mip chain, one after the other; a volume's level
// holds its slices one after the other. Only the first picture is shown (the
// positive-X face, the first element, the first slice): a texture that is
// not a plain picture has no one picture of its own, and the first is what
// texture tools show first as well.
struct Geometry
{
    std::uint64_t pictures = 1;
    std::uint32_t depth = 1;
};

std::uint32_t sliceCount(const Geometry &geometry, std::uint32_t level)
{
    const std::uint32_t slices = level < 32 ? geometry.depth >> level : 0;
    return slices ? slices : 1;
}

} // namespace

std::uint32_t DdsLayout::levelWidth(std::uint32_t level) const
{
    const std::uint32_t w = level < 32 ? width >> level : 0;
    return w ? w : 1;
}

std::uint32_t DdsLayout::levelHeight(std::uint32_t level) const
{
    const std::uint32_t h = level < 32 ? height >> level : 0;
    return h ? h : 1;
}

bool DdsLayout::isBlockCompressed() const
{
    switch (encoding) {
    case PixelEncoding::Bc1:
    case PixelEncoding::Bc2:
    case PixelEncoding::Bc3:
    case PixelEncoding::Bc3Rxgb:
    case PixelEncoding::Bc4:
    case PixelEncoding::Bc5:
        return true;
    default:
        return false;
    }
}

std::uint64_t DdsLayout::storedRowSize(std::uint32_t level) const
{
    const std::uint64_t w = levelWidth(level);
    switch (encoding) {
    case PixelEncoding::Bc1:
    case PixelEncoding::Bc4:
        return (w + 3) / 4 * 8;
    case PixelEncoding::Bc2:
    case PixelEncoding::Bc3:
    case PixelEncoding::Bc3Rxgb:
    case PixelEncoding::Bc5:
        return (w + 3) / 4 * 16;
    case PixelEncoding::BitMask:
        return w * bitMask.bytesPerPixel;
    case PixelEncoding::Channels:
        return w * channels.bytesPerPixel();
    case PixelEncoding::Palette:
        return (w * palette.indexBits + 7) / 8;
    case PixelEncoding::PixelPairs:
        return (w + 1) / 2 * 4;
    case PixelEncoding::PackedFloats:
        return w * 4;
    }
    return 0;
}

std::uint32_t DdsLayout::storedRowCount(std::uint32_t level) const
{
    const std::uint32_t h = levelHeight(level);
    return isBlockCompressed() ? (h + 3) / 4 : h;
}

std::uint64_t DdsLayout::levelSize(std::uint32_t level) const
{
    return storedRowSize(level) * storedRowCount(level);
}

std::uint64_t DdsLayout::levelOffset(std::uint32_t level) const
{
    std::uint64_t offset = dataOffset;
    for (std::uint32_t i = 0; i < level; ++i)
        offset += levelSize(i);
    return offset;
}

bool hasDdsMagic(ByteSource &source)
{
    std::uint8_t magic[4];
    return source.read(0, magic, 4) && dds::hasMagic(magic, sizeof magic);
}

std::optional<DdsLayout> readDdsLayout(ByteSource &source)
{
    std::array<std::uint8_t, LegacyDataOffset> bytes;
    if (!source.read(0, bytes.data(), bytes.size()))
        return std::nullopt;
    const std::optional<dds::Header> header = dds::readHeader(bytes.data(), bytes.size());
    if (!header)
        return std::nullopt;

    const std::uint32_t flags = header->flags;
    DdsLayout layout;
    layout.height = header->height;
    layout.width = header->width;
    const std::uint32_t depth = header->depth;
    const std::uint32_t mipCount = header->mipMapCount;
    const std::uint32_t caps2 = header->caps2;

    if (layout.width == 0 || layout.height == 0 || layout.width > MaxTextureSide
        || layout.height > MaxTextureSide)
        return std::nullopt;

    Geometry geometry;
    layout.dataOffset = LegacyDataOffset;
    if (header->hasDx10Extension()) {
        std::uint8_t stored[Dx10HeaderBytes - LegacyHeaderBytes];
        if (!source.read(LegacyDataOffset, stored, sizeof stored))
            return std::nullopt;
        const dds::Dx10Extension extension = dds::readDx10Extension(stored);
        // Writers that leave the dimension or the array size at 0 mean a
        // plain texture.
        const std::uint32_t dimension = extension.dimension;
        const std::uint32_t arraySize = std::max<std::uint32_t>(extension.arraySize, 1);
        if (dimension == Dx10Texture3D) {
            geometry.depth = std::max<std::uint32_t>(depth, 1);
        } else if (dimension == Dx10Texture2D || dimension == Dx10DimensionUnknown) {
            geometry.pictures = std::uint64_t(arraySize) * ((extension.miscFlags & Dx10MiscCube) ? 6 : 1);
        } else {
            return std::nullopt;
        }
        if (!applyDxgiFormat(extension.dxgiFormat, layout))
            return std::nullopt;
        layout.dataOffset = Dx10DataOffset;
    } else {
        if ((caps2 & Caps2Volume) || ((flags & FlagDepth) && depth > 1)) {
            geometry.depth = std::max<std::uint32_t>(depth, 1);
        } else if (caps2 & Caps2CubeMap) {
            // Faces a cube map leaves out are not stored; those it has come
            // in the order of their flags, positive X first.
            geometry.pictures = std::uint32_t(std::popcount(caps2 & Caps2CubeFaces));
            if (geometry.pictures == 0)
                return std::nullopt;
        }
        if (!applyLegacyPixelFormat(header->pixelFormat, layout))
            return std::nullopt;
        if (layout.encoding == PixelEncoding::Palette) {
            const std::uint32_t paletteBytes = layout.palette.colourCount * 4;
            if (!source.read(LegacyDataOffset, layout.palette.colours.data(), paletteBytes))
                return std::nullopt;
            layout.dataOffset += paletteBytes;
        }
    }
    if (geometry.depth > MaxTextureSide)
        return std::nullopt;

    layout.levelCount = mipCount ? mipCount : 1;
    if (layout.levelCount > fullChainLength(std::max({layout.width, layout.height, geometry.depth})))
        return std::nullopt;

    // Everything the header declares must lie inside the file. One picture's
    // chain stays below 2^51 bytes with sides and depth capped at 16384; the
    // count of pictures is checked by division so that nothing overflows.
    std::uint64_t chainSize = 0;
    for (std::uint32_t level = 0; level < layout.levelCount; ++level)
        chainSize += layout.levelSize(level) * sliceCount(geometry, level);
    if (chainSize == 0 || layout.dataOffset > source.size()
        || geometry.pictures > (source.size() - layout.dataOffset) / chainSize)
        return std::nullopt;

    // A volume's later levels shrink its depth too, so none of them is the
    // first slice made smaller: its first slice is read at full size.
    if (geometry.depth > 1)
        layout.levelCount = 1;
    return layout;
}

} // namespace korrad
