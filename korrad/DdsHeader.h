#pragma once

// The DDS file header as stored: the magic, the 124-byte header and, when
// its pixel format says "DX10", the 20-byte extension after it. The one
// reader of these bytes for the conversion library and the program alike,
// so both judge a texture by the same fields. Plain C++: the library links
// no Qt.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace dds {

constexpr std::uint32_t fourCC(const char (&code)[5])
{
    return std::uint32_t(std::uint8_t(code[0])) | std::uint32_t(std::uint8_t(code[1])) << 8
           | std::uint32_t(std::uint8_t(code[2])) << 16 | std::uint32_t(std::uint8_t(code[3])) << 24;
}

inline std::uint32_t le32(const std::uint8_t *bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16
           | std::uint32_t(bytes[3]) << 24;
}

constexpr std::uint32_t HeaderSize = 124;
constexpr std::size_t LegacyHeaderBytes = 4 + HeaderSize;   // magic and header
constexpr std::size_t Dx10HeaderBytes = LegacyHeaderBytes + 20; // and the extension

// Header flags.
constexpr std::uint32_t FlagDepth = 0x800000;

// Pixel-format flags.
constexpr std::uint32_t PixelAlphaPixels = 0x1;
constexpr std::uint32_t PixelAlphaOnly = 0x2;
constexpr std::uint32_t PixelFourCC = 0x4;
constexpr std::uint32_t PixelPalette4 = 0x8;
constexpr std::uint32_t PixelPalette8 = 0x20;
constexpr std::uint32_t PixelRgb = 0x40;
constexpr std::uint32_t PixelLuminance = 0x20000;
constexpr std::uint32_t PixelBumpDuDv = 0x80000;

// Second capability flags.
constexpr std::uint32_t Caps2CubeMap = 0x200;
constexpr std::uint32_t Caps2CubeFaces = 0xfc00;
constexpr std::uint32_t Caps2Volume = 0x200000;

struct PixelFormat
{
    std::uint32_t flags = 0;
    std::uint32_t fourCC = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t alphaMask = 0;
};

struct Header
{
    std::uint32_t flags = 0;
    std::uint32_t height = 0;
    std::uint32_t width = 0;
    std::uint32_t depth = 0;
    std::uint32_t mipMapCount = 0;
    PixelFormat pixelFormat;
    std::uint32_t caps2 = 0;

    // The format is given in the extension after the header.
    bool hasDx10Extension() const
    {
        return (pixelFormat.flags & PixelFourCC) && pixelFormat.fourCC == fourCC("DX10");
    }
};

struct Dx10Extension
{
    std::uint32_t dxgiFormat = 0;
    std::uint32_t dimension = 0;
    std::uint32_t miscFlags = 0;
    std::uint32_t arraySize = 0;
};

inline bool hasMagic(const std::uint8_t *bytes, std::size_t size)
{
    return size >= 4 && le32(bytes) == fourCC("DDS ");
}

// The header of a file that begins with these bytes; nothing unless they hold
// the magic and a whole header that gives its own size right.
inline std::optional<Header> readHeader(const std::uint8_t *bytes, std::size_t size)
{
    if (size < LegacyHeaderBytes || !hasMagic(bytes, size) || le32(bytes + 4) != HeaderSize)
        return std::nullopt;
    const std::uint8_t *h = bytes + 4;
    Header header;
    header.flags = le32(h + 4);
    header.height = le32(h + 8);
    header.width = le32(h + 12);
    header.depth = le32(h + 20);
    header.mipMapCount = le32(h + 24);
    const std::uint8_t *p = h + 72;
    header.pixelFormat = PixelFormat{le32(p + 4),  le32(p + 8),  le32(p + 12), le32(p + 16),
                                     le32(p + 20), le32(p + 24), le32(p + 28)};
    header.caps2 = le32(h + 108);
    return header;
}

// The extension that follows the header (the 20 bytes from offset 128).
inline Dx10Extension readDx10Extension(const std::uint8_t *extension)
{
    return Dx10Extension{le32(extension), le32(extension + 4), le32(extension + 8), le32(extension + 12)};
}

} // namespace dds
