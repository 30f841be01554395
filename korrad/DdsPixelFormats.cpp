#include "DdsPixelFormats.h"

#include <utility>

namespace korrad {
namespace {

using namespace dds;

void setEncoding(DdsLayout &layout, PixelEncoding encoding)
{
    layout.encoding = encoding;
}

// One-channel formats show their channel as grey, like luminance and BC4;
// two-channel ones red and green over no blue, like BC5.
void setChannels(DdsLayout &layout, ChannelType type, std::uint32_t count, bool derivedBlue = false)
{
    ChannelFormat format;
    format.type = type;
    format.channelCount = count;
    if (count == 1)
        format.shown = {0, 0, 0};
    else
        format.shown = {0, 1, std::int8_t(count >= 3 ? 2 : -1)};
    format.derivedBlue = derivedBlue;
    layout.encoding = PixelEncoding::Channels;
    layout.channels = format;
}

void setBitMask(DdsLayout &layout, std::uint32_t bytesPerPixel, std::uint32_t red, std::uint32_t green,
                std::uint32_t blue, std::uint32_t grey = 0)
{
    layout.encoding = PixelEncoding::BitMask;
    layout.bitMask = BitMaskFormat{bytesPerPixel, red, green, blue, grey};
}

void setPairs(DdsLayout &layout, PixelPairOrder order)
{
    layout.encoding = PixelEncoding::PixelPairs;
    layout.pairOrder = order;
}

bool applyFourCC(std::uint32_t code, DdsLayout &layout)
{
    switch (code) {
    case fourCC("DXT1"):
        setEncoding(layout, PixelEncoding::Bc1);
        return true;
    // Premultiplied variants are shown as stored, like their plain twins.
    case fourCC("DXT2"):
    case fourCC("DXT3"):
        setEncoding(layout, PixelEncoding::Bc2);
        return true;
    case fourCC("DXT4"):
    case fourCC("DXT5"):
        setEncoding(layout, PixelEncoding::Bc3);
        return true;
    case fourCC("RXGB"):
        setEncoding(layout, PixelEncoding::Bc3Rxgb);
        return true;
    case fourCC("ATI1"):
    case fourCC("BC4U"):
        setEncoding(layout, PixelEncoding::Bc4);
        return true;
    case fourCC("ATI2"):
    case fourCC("BC5U"):
        setEncoding(layout, PixelEncoding::Bc5);
        return true;
    case fourCC("YUY2"):
        setPairs(layout, PixelPairOrder::Yuy2);
        return true;
    case fourCC("UYVY"):
        setPairs(layout, PixelPairOrder::Uyvy);
        return true;
    // Direct3D 9 names these from the top byte of each 16-bit half, DXGI
    // from the bottom: R8G8_B8G8 is DXGI's G8R8_G8B8 and the other way round.
    case fourCC("RGBG"):
        setPairs(layout, PixelPairOrder::GrGb);
        return true;
    case fourCC("GRGB"):
        setPairs(layout, PixelPairOrder::RgBg);
        return true;
    // Formats without a code of four letters store their Direct3D 9 number.
    case 36: // A16B16G16R16
        setChannels(layout, ChannelType::Unorm16, 4);
        return true;
    case 60: // V8U8
        setChannels(layout, ChannelType::Snorm8, 2);
        return true;
    case 63: // Q8W8V8U8
        setChannels(layout, ChannelType::Snorm8, 4);
        return true;
    case 64: // V16U16
        setChannels(layout, ChannelType::Snorm16, 2);
        return true;
    case 110: // Q16W16V16U16
        setChannels(layout, ChannelType::Snorm16, 4);
        return true;
    case 111: // R16F
        setChannels(layout, ChannelType::Half, 1);
        return true;
    case 112: // G16R16F
        setChannels(layout, ChannelType::Half, 2);
        return true;
    case 113: // A16B16G16R16F
        setChannels(layout, ChannelType::Half, 4);
        return true;
    case 114: // R32F
        setChannels(layout, ChannelType::Float, 1);
        return true;
    case 115: // G32R32F
        setChannels(layout, ChannelType::Float, 2);
        return true;
    case 116: // A32B32G32R32F
        setChannels(layout, ChannelType::Float, 4);
        return true;
    case 117: // CxV8U8
        setChannels(layout, ChannelType::Snorm8, 2, true);
        return true;
    default:
        return false;
    }
}

bool masksFit(std::uint32_t mask, std::uint32_t bits)
{
    return bits >= 32 || (mask >> bits) == 0;
}

bool applyPalette(std::uint32_t flags, std::uint32_t bits, DdsLayout &layout)
{
    PaletteFormat &palette = layout.palette;
    if (flags & PixelPalette8) {
        if (bits != 8 && bits != 16)
            return false;
        palette.indexBits = bits;
        palette.colourCount = 256;
    } else {
        if (bits != 4)
            return false;
        palette.indexBits = 4;
        palette.colourCount = 16;
    }
    layout.encoding = PixelEncoding::Palette;
    return true;
}

// Signed bump maps by their masks; alpha and the remaining bits are ignored.
bool applyBumpMasks(std::uint32_t bits, std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                    DdsLayout &layout)
{
    if (bits == 16 && red == 0xff && green == 0xff00 && blue == 0)
        setChannels(layout, ChannelType::Snorm8, 2);
    else if (bits == 32 && red == 0xff && green == 0xff00 && blue == 0xff0000)
        setChannels(layout, ChannelType::Snorm8, 4);
    else if (bits == 32 && red == 0xffff && green == 0xffff0000 && blue == 0)
        setChannels(layout, ChannelType::Snorm16, 2);
    else
        return false;
    return true;
}

// The old D3DX tools wrote the two 10:10:10:2 layouts with red's and blue's
// masks exchanged, and DirectXTex reads both mask sets that way: red is where
// the header says blue is. A file with the masks right is shown swapped, as
// by that reader.
bool isD3dxTenBitLayout(std::uint32_t bits, std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                        std::uint32_t alpha)
{
    const bool exchanged = (red == 0x3ff && blue == 0x3ff00000) || (red == 0x3ff00000 && blue == 0x3ff);
    return bits == 32 && exchanged && green == 0xffc00 && alpha == 0xc0000000;
}

bool applyBitMasks(std::uint32_t flags, std::uint32_t bits, const dds::PixelFormat &pixelFormat, DdsLayout &layout)
{
    std::uint32_t red = pixelFormat.redMask;
    const std::uint32_t green = pixelFormat.greenMask;
    std::uint32_t blue = pixelFormat.blueMask;
    const std::uint32_t alpha = pixelFormat.alphaMask;

    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (flags & PixelBumpDuDv)
        return applyBumpMasks(bits, red, green, blue, layout);

    BitMaskFormat format;
    format.bytesPerPixel = bits / 8;
    // Luminance first: some writers add the RGB flag to a luminance texture,
    // which is grey all the same.
    if (flags & PixelLuminance) {
        format.greyMask = red;
        // Some writers fill an 8-bit luminance texture's masks as if for a
        // 32-bit word; its one byte is the grey all the same.
        if (bits == 8 && (red == 0 || !masksFit(red, bits)))
            format.greyMask = 0xff;
    } else if (flags & PixelRgb) {
        // A single 32-bit red mask is how D3DX also wrote R32F.
        if (bits == 32 && red == 0xffffffff && green == 0 && blue == 0) {
            setChannels(layout, ChannelType::Float, 1);
            return true;
        }
        if (isD3dxTenBitLayout(bits, red, green, blue, alpha))
            std::swap(red, blue);
        format.redMask = red;
        format.greenMask = green;
        format.blueMask = blue;
    } else if (flags & PixelAlphaOnly) {
        // Nothing but coverage: show it as grey rather than a black square.
        format.greyMask = alpha;
    } else {
        return false;
    }
    if ((format.redMask | format.greenMask | format.blueMask | format.greyMask) == 0)
        return false;
    for (std::uint32_t mask : {format.redMask, format.greenMask, format.blueMask, format.greyMask})
        if (!masksFit(mask, bits))
            return false;
    layout.encoding = PixelEncoding::BitMask;
    layout.bitMask = format;
    return true;
}

} // namespace

std::uint32_t ChannelFormat::channelBytes() const
{
    switch (type) {
    case ChannelType::Unorm8:
    case ChannelType::Snorm8:
        return 1;
    case ChannelType::Unorm16:
    case ChannelType::Snorm16:
    case ChannelType::Half:
        return 2;
    case ChannelType::Float:
        return 4;
    }
    return 1;
}

bool applyLegacyPixelFormat(const dds::PixelFormat &pixelFormat, DdsLayout &layout)
{
    const std::uint32_t flags = pixelFormat.flags;
    const std::uint32_t bits = pixelFormat.bitCount;
    if (flags & PixelFourCC)
        return applyFourCC(pixelFormat.fourCC, layout);
    if (flags & (PixelPalette8 | PixelPalette4))
        return applyPalette(flags, bits, layout);
    return applyBitMasks(flags, bits, pixelFormat, layout);
}

bool applyDxgiFormat(std::uint32_t dxgi, DdsLayout &layout)
{
    // Typeless formats are read as their unsigned-normalised twins, or as
    // float where the channels are 32 bits wide.
    switch (dxgi) {
    case 70: case 71: case 72: // BC1 typeless, unorm, srgb
        setEncoding(layout, PixelEncoding::Bc1);
        return true;
    case 73: case 74: case 75:
        setEncoding(layout, PixelEncoding::Bc2);
        return true;
    case 76: case 77: case 78:
        setEncoding(layout, PixelEncoding::Bc3);
        return true;
    case 79: case 80: // BC4 typeless, unorm
        setEncoding(layout, PixelEncoding::Bc4);
        return true;
    case 82: case 83:
        setEncoding(layout, PixelEncoding::Bc5);
        return true;
    // Alpha never reaches the picture, so A8 and X8 layouts read alike.
    case 27: case 28: case 29: // R8G8B8A8 typeless, unorm, srgb
        setBitMask(layout, 4, 0xff, 0xff00, 0xff0000);
        return true;
    case 87: case 90: case 91: // B8G8R8A8 unorm, typeless, srgb
    case 88: case 92: case 93: // B8G8R8X8 unorm, typeless, srgb
        setBitMask(layout, 4, 0xff0000, 0xff00, 0xff);
        return true;
    case 23: case 24: // R10G10B10A2 typeless, unorm
        setBitMask(layout, 4, 0x3ff, 0xffc00, 0x3ff00000);
        return true;
    case 85: // B5G6R5
        setBitMask(layout, 2, 0xf800, 0x7e0, 0x1f);
        return true;
    case 86: // B5G5R5A1
        setBitMask(layout, 2, 0x7c00, 0x3e0, 0x1f);
        return true;
    case 115: // B4G4R4A4
        setBitMask(layout, 2, 0xf00, 0xf0, 0xf);
        return true;
    case 65: // A8
        setBitMask(layout, 1, 0, 0, 0, 0xff);
        return true;
    case 1: case 2: // R32G32B32A32 typeless, float
        setChannels(layout, ChannelType::Float, 4);
        return true;
    case 5: case 6: // R32G32B32
        setChannels(layout, ChannelType::Float, 3);
        return true;
    case 15: case 16: // R32G32
        setChannels(layout, ChannelType::Float, 2);
        return true;
    case 39: case 41: // R32
        setChannels(layout, ChannelType::Float, 1);
        return true;
    case 10: // R16G16B16A16 float
        setChannels(layout, ChannelType::Half, 4);
        return true;
    case 34:
        setChannels(layout, ChannelType::Half, 2);
        return true;
    case 54:
        setChannels(layout, ChannelType::Half, 1);
        return true;
    case 9: case 11: // R16G16B16A16 typeless, unorm
        setChannels(layout, ChannelType::Unorm16, 4);
        return true;
    case 33: case 35:
        setChannels(layout, ChannelType::Unorm16, 2);
        return true;
    case 53: case 56:
        setChannels(layout, ChannelType::Unorm16, 1);
        return true;
    case 13: // R16G16B16A16 snorm
        setChannels(layout, ChannelType::Snorm16, 4);
        return true;
    case 37:
        setChannels(layout, ChannelType::Snorm16, 2);
        return true;
    case 58:
        setChannels(layout, ChannelType::Snorm16, 1);
        return true;
    case 48: case 49: // R8G8 typeless, unorm
        setChannels(layout, ChannelType::Unorm8, 2);
        return true;
    case 60: case 61:
        setChannels(layout, ChannelType::Unorm8, 1);
        return true;
    case 31: // R8G8B8A8 snorm
        setChannels(layout, ChannelType::Snorm8, 4);
        return true;
    case 51:
        setChannels(layout, ChannelType::Snorm8, 2);
        return true;
    case 63:
        setChannels(layout, ChannelType::Snorm8, 1);
        return true;
    case 68: // R8G8_B8G8
        setPairs(layout, PixelPairOrder::RgBg);
        return true;
    case 69: // G8R8_G8B8
        setPairs(layout, PixelPairOrder::GrGb);
        return true;
    case 107:
        setPairs(layout, PixelPairOrder::Yuy2);
        return true;
    case 26: // R11G11B10 float
        layout.encoding = PixelEncoding::PackedFloats;
        layout.packedFloats = PackedFloatKind::R11G11B10;
        return true;
    case 67: // R9G9B9E5 shared exponent
        layout.encoding = PixelEncoding::PackedFloats;
        layout.packedFloats = PackedFloatKind::R9G9B9E5;
        return true;
    default:
        return false;
    }
}

} // namespace korrad
