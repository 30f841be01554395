#include "DdsLayout.h"

#include <array>

namespace korrad {
namespace {

constexpr std::uint32_t HeaderSize = 124;
constexpr std::uint64_t LegacyDataOffset = 4 + HeaderSize;
constexpr std::uint64_t Dx10DataOffset = LegacyDataOffset + 20;

// Header flags and pixel-format flags, as the file format defines them.
constexpr std::uint32_t FlagDepth = 0x800000;
constexpr std::uint32_t PixelAlphaOnly = 0x2;
constexpr std::uint32_t PixelFourCC = 0x4;
constexpr std::uint32_t PixelRgb = 0x40;
constexpr std::uint32_t PixelLuminance = 0x20000;
constexpr std::uint32_t Caps2Volume = 0x200000;

constexpr std::uint32_t Dx10DimensionUnknown = 0;
constexpr std::uint32_t Dx10Texture2D = 3;

constexpr std::uint32_t fourCC(const char (&code)[5])
{
    return std::uint32_t(std::uint8_t(code[0])) | std::uint32_t(std::uint8_t(code[1])) << 8
           | std::uint32_t(std::uint8_t(code[2])) << 16 | std::uint32_t(std::uint8_t(code[3])) << 24;
}

std::uint32_t le32(const std::uint8_t *bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16
           | std::uint32_t(bytes[3]) << 24;
}

std::optional<PixelEncoding> encodingOfFourCC(std::uint32_t code)
{
    switch (code) {
    case fourCC("DXT1"):
        return PixelEncoding::Bc1;
    // Premultiplied variants are shown as stored, like their plain twins.
    case fourCC("DXT2"):
    case fourCC("DXT3"):
        return PixelEncoding::Bc2;
    case fourCC("DXT4"):
    case fourCC("DXT5"):
        return PixelEncoding::Bc3;
    case fourCC("ATI1"):
    case fourCC("BC4U"):
        return PixelEncoding::Bc4;
    case fourCC("ATI2"):
    case fourCC("BC5U"):
        return PixelEncoding::Bc5;
    default:
        return std::nullopt;
    }
}

// Alpha never reaches the picture, so A8 and X8 layouts read alike.
BitMaskFormat byteOrderedFormat(bool redFirst)
{
    BitMaskFormat format;
    format.bytesPerPixel = 4;
    format.redMask = redFirst ? 0x000000ffu : 0x00ff0000u;
    format.greenMask = 0x0000ff00u;
    format.blueMask = redFirst ? 0x00ff0000u : 0x000000ffu;
    return format;
}

bool applyDxgiFormat(std::uint32_t dxgi, DdsLayout &layout)
{
    switch (dxgi) {
    case 70: case 71: case 72: // BC1 typeless, unorm, srgb
        layout.encoding = PixelEncoding::Bc1;
        return true;
    case 73: case 74: case 75:
        layout.encoding = PixelEncoding::Bc2;
        return true;
    case 76: case 77: case 78:
        layout.encoding = PixelEncoding::Bc3;
        return true;
    case 79: case 80: // BC4 typeless, unorm
        layout.encoding = PixelEncoding::Bc4;
        return true;
    case 82: case 83:
        layout.encoding = PixelEncoding::Bc5;
        return true;
    case 27: case 28: case 29: // R8G8B8A8 typeless, unorm, srgb
        layout.encoding = PixelEncoding::BitMask;
        layout.bitMask = byteOrderedFormat(true);
        return true;
    case 87: case 90: case 91: // B8G8R8A8 unorm, typeless, srgb
        layout.encoding = PixelEncoding::BitMask;
        layout.bitMask = byteOrderedFormat(false);
        return true;
    case 88: case 92: case 93: // B8G8R8X8 unorm, typeless, srgb
        layout.encoding = PixelEncoding::BitMask;
        layout.bitMask = byteOrderedFormat(false);
        return true;
    default:
        return false;
    }
}

bool masksFit(std::uint32_t mask, std::uint32_t bits)
{
    return bits >= 32 || (mask >> bits) == 0;
}

bool applyBitMaskFormat(const std::uint8_t *pixelFormat, DdsLayout &layout)
{
    const std::uint32_t flags = le32(pixelFormat + 4);
    const std::uint32_t bits = le32(pixelFormat + 12);
    const std::uint32_t red = le32(pixelFormat + 16);
    const std::uint32_t green = le32(pixelFormat + 20);
    const std::uint32_t blue = le32(pixelFormat + 24);
    const std::uint32_t alpha = le32(pixelFormat + 28);

    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    BitMaskFormat format;
    format.bytesPerPixel = bits / 8;
    if (flags & PixelRgb) {
        format.redMask = red;
        format.greenMask = green;
        format.blueMask = blue;
        if ((red | green | blue) == 0)
            return false;
    } else if (flags & PixelLuminance) {
        format.greyMask = red;
        // Some writers fill an 8-bit luminance texture's masks as if for a
        // 32-bit word; its one byte is the grey all the same.
        if (bits == 8 && (red == 0 || !masksFit(red, bits)))
            format.greyMask = 0xff;
    } else if (flags & PixelAlphaOnly) {
        // Nothing but coverage: show it as grey rather than a black square.
        format.greyMask = alpha;
    } else {
        return false;
    }
    if (format.greyMask == 0 && !(flags & PixelRgb))
        return false;
    for (std::uint32_t mask : {format.redMask, format.greenMask, format.blueMask, format.greyMask})
        if (!masksFit(mask, bits))
            return false;
    layout.encoding = PixelEncoding::BitMask;
    layout.bitMask = format;
    return true;
}

std::uint32_t fullChainLength(std::uint32_t width, std::uint32_t height)
{
    std::uint32_t side = width > height ? width : height;
    std::uint32_t levels = 1;
    while (side > 1) {
        side >>= 1;
        ++levels;
    }
    return levels;
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

std::uint64_t DdsLayout::storedRowSize(std::uint32_t level) const
{
    const std::uint64_t w = levelWidth(level);
    switch (encoding) {
    case PixelEncoding::Bc1:
    case PixelEncoding::Bc4:
        return (w + 3) / 4 * 8;
    case PixelEncoding::Bc2:
    case PixelEncoding::Bc3:
    case PixelEncoding::Bc5:
        return (w + 3) / 4 * 16;
    case PixelEncoding::BitMask:
        break;
    }
    return w * bitMask.bytesPerPixel;
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
    return source.read(0, magic, 4) && le32(magic) == fourCC("DDS ");
}

std::optional<DdsLayout> readDdsLayout(ByteSource &source)
{
    std::array<std::uint8_t, LegacyDataOffset> header;
    if (!source.read(0, header.data(), header.size()))
        return std::nullopt;
    const std::uint8_t *h = header.data() + 4;
    if (le32(header.data()) != fourCC("DDS ") || le32(h) != HeaderSize)
        return std::nullopt;

    const std::uint32_t flags = le32(h + 4);
    DdsLayout layout;
    layout.height = le32(h + 8);
    layout.width = le32(h + 12);
    const std::uint32_t depth = le32(h + 20);
    const std::uint32_t mipCount = le32(h + 24);
    const std::uint8_t *pixelFormat = h + 72;
    const std::uint32_t caps2 = le32(h + 108);

    if (layout.width == 0 || layout.height == 0 || layout.width > MaxTextureSide
        || layout.height > MaxTextureSide)
        return std::nullopt;
    if ((caps2 & Caps2Volume) || ((flags & FlagDepth) && depth > 1))
        return std::nullopt;
    layout.levelCount = mipCount ? mipCount : 1;
    if (layout.levelCount > fullChainLength(layout.width, layout.height))
        return std::nullopt;

    const std::uint32_t pixelFlags = le32(pixelFormat + 4);
    layout.dataOffset = LegacyDataOffset;
    if (pixelFlags & PixelFourCC) {
        const std::uint32_t code = le32(pixelFormat + 8);
        if (code == fourCC("DX10")) {
            std::uint8_t extension[20];
            if (!source.read(LegacyDataOffset, extension, sizeof extension))
                return std::nullopt;
            // Writers that leave the dimension or the array size at 0 mean a
            // plain texture; only its first picture is read in any case.
            const std::uint32_t dimension = le32(extension + 4);
            if ((dimension != Dx10Texture2D && dimension != Dx10DimensionUnknown)
                || !applyDxgiFormat(le32(extension), layout))
                return std::nullopt;
            layout.dataOffset = Dx10DataOffset;
        } else {
            const auto encoding = encodingOfFourCC(code);
            if (!encoding)
                return std::nullopt;
            layout.encoding = *encoding;
        }
    } else if (!applyBitMaskFormat(pixelFormat, layout)) {
        return std::nullopt;
    }

    // Every declared level must lie inside the file; the sums cannot overflow
    // 64 bits with sides capped at 16384.
    const std::uint64_t end = layout.levelOffset(layout.levelCount);
    if (end > source.size())
        return std::nullopt;
    return layout;
}

} // namespace korrad
