#pragma once

// Builds DDS files in memory for tests, benchmarks and fuzz seeds: the
// header written field by field, blocks compressed by libsquish, bit-mask
// pixels packed from 8-bit values.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ddstest {

struct RgbaImage
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels; // RGBA, top row first

    RgbaImage() = default;
    RgbaImage(std::uint32_t w, std::uint32_t h) : width(w), height(h), pixels(std::size_t(w) * h * 4, 255) {}
    std::uint8_t *at(std::uint32_t x, std::uint32_t y) { return pixels.data() + (std::size_t(y) * width + x) * 4; }
    const std::uint8_t *at(std::uint32_t x, std::uint32_t y) const
    {
        return pixels.data() + (std::size_t(y) * width + x) * 4;
    }
};

// A smooth picture with every channel different, so swapped channels and
// mirrored rows show; `seed` shifts the pattern.
RgbaImage gradient(std::uint32_t width, std::uint32_t height, unsigned seed = 0);
RgbaImage solid(std::uint32_t width, std::uint32_t height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                std::uint8_t a = 255);

enum class Block { Bc1, Bc2, Bc3, Bc4, Bc5 };

struct BitMask
{
    std::uint32_t pixelFlags; // DDPF_RGB, DDPF_LUMINANCE, DDPF_ALPHA, plus DDPF_ALPHAPIXELS
    std::uint32_t bits;
    std::uint32_t red, green, blue, alpha;
};

constexpr std::uint32_t PixelAlphaPixels = 0x1;
constexpr std::uint32_t PixelAlpha = 0x2;
constexpr std::uint32_t PixelRgb = 0x40;
constexpr std::uint32_t PixelLuminance = 0x20000;

// The formats the converter reads, by their usual names.
BitMask a8r8g8b8();
BitMask x8r8g8b8();
BitMask a8b8g8r8();
BitMask r8g8b8();
BitMask r5g6b5();
BitMask x1r5g5b5();
BitMask a1r5g5b5();
BitMask a4r4g4b4();
BitMask l8();
BitMask a8l8();
BitMask a8();

std::vector<std::uint8_t> compressBlocks(const RgbaImage &image, Block block);
std::vector<std::uint8_t> packBitMask(const RgbaImage &image, const BitMask &format);
// What a perfect decoder shows for one pixel of `format`: each channel
// quantised to its bits and stretched back to 0..255; grey formats show
// their one channel (luminance from red, or alpha) in all three.
void expectedBitMaskColour(const BitMask &format, const std::uint8_t *rgba, std::uint8_t *rgb);

// Each level's pixels halve from the previous one (box filter); `count`
// levels, starting with `image`.
std::vector<RgbaImage> mipChain(const RgbaImage &image, std::uint32_t count);

std::vector<std::uint8_t> legacyBlockDds(const std::vector<RgbaImage> &levels, Block block,
                                         const std::string &fourCC);
std::vector<std::uint8_t> dx10BlockDds(const std::vector<RgbaImage> &levels, Block block, std::uint32_t dxgi);
std::vector<std::uint8_t> legacyBitMaskDds(const std::vector<RgbaImage> &levels, const BitMask &format);
// R8G8B8A8 (red first) or B8G8R8A8 (blue first) behind a DX10 header.
std::vector<std::uint8_t> dx10ByteOrderDds(const std::vector<RgbaImage> &levels, std::uint32_t dxgi, bool blueFirst);

// Uncompressed formats beyond bit masks: every pixel's channels packed from
// an RGBA picture, and whole files of any such packing.
enum class Channel { Unorm8, Unorm16, Snorm8, Snorm16, Half, Float };
enum class PairOrder { Yuy2, Uyvy, GrGb, RgBg }; // bytes Y0 U Y1 V, U Y0 V Y1, G0 R G1 B, R G0 B G1

// The first `count` of red, green, blue and alpha as `type`: unsigned types
// stretch 0..255 over their range, signed ones map it onto -1..1 the way
// normal maps are stored, floats hold the value / 255.
std::vector<std::uint8_t> packChannels(const RgbaImage &image, Channel type, int count);
// Two pixels in four bytes; a pair shares the mean of its colour difference
// (YUV, studio-range BT.601) or of its red and blue.
std::vector<std::uint8_t> packPairs(const RgbaImage &image, PairOrder order);
// Palette indices, one per pixel, as 4 bits (first pixel in the high half),
// 8 bits, or 16 bits with `alpha` above each index.
std::vector<std::uint8_t> packIndices(const std::vector<std::uint8_t> &indices, std::uint32_t width,
                                      std::uint32_t height, std::uint32_t bits, std::uint8_t alpha = 255);
std::uint16_t halfOf(float value);
// The HDR tools' packed floats of red, green and blue (value / 255), rounded.
enum class PackedFloat { R11G11B10, R9G9B9E5 };
std::vector<std::uint8_t> packPackedFloats(const RgbaImage &image, PackedFloat kind);

struct PixelFormat
{
    std::uint32_t flags = 0;
    std::uint32_t fourCC = 0;
    std::uint32_t bits = 0;
    std::uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};
constexpr std::uint32_t PixelFourCCFlag = 0x4;
constexpr std::uint32_t PixelPalette4 = 0x8;
constexpr std::uint32_t PixelPalette8 = 0x20;
constexpr std::uint32_t PixelBumpDuDv = 0x80000;
std::uint32_t fourCCCode(const std::string &code);

// What a file holds beyond one picture. The surfaces given are written one
// after the other, so the caller orders them: each face or array element's
// whole chain in turn; a volume's slices of level 0, then of level 1...
struct Shape
{
    std::uint32_t mipCount = 1;
    std::uint32_t depth = 0; // a volume when above 0
    std::uint32_t caps2 = 0; // cube map flags of a legacy header
    std::uint32_t arraySize = 1;
    bool cube = false; // in a DX10 header
};
constexpr std::uint32_t Caps2CubeAllFaces = 0x200 | 0xfc00;

using Packer = std::function<std::vector<std::uint8_t>(const RgbaImage &)>;
std::vector<std::uint8_t> legacyDds(const std::vector<RgbaImage> &surfaces, const PixelFormat &format,
                                    const Packer &pack, const Shape &shape = {},
                                    const std::vector<std::uint8_t> &palette = {});
std::vector<std::uint8_t> dx10Dds(const std::vector<RgbaImage> &surfaces, std::uint32_t dxgi, const Packer &pack,
                                  const Shape &shape = {});

// Header fields by offset, for tests that spoil a file on purpose.
void put32(std::vector<std::uint8_t> &bytes, std::size_t offset, std::uint32_t value);
namespace field {
constexpr std::size_t Size = 4, Flags = 8, Height = 12, Width = 16, Depth = 24, MipCount = 28;
constexpr std::size_t PixelFlags = 80, FourCC = 84, BitCount = 88, RedMask = 92, AlphaMask = 104;
constexpr std::size_t Caps2 = 112;
constexpr std::size_t DxgiFormat = 128, Dimension = 132, ArraySize = 140;
constexpr std::size_t LegacyData = 128, Dx10Data = 148;
} // namespace field

bool writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes);

} // namespace ddstest
