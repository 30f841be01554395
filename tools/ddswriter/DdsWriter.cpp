#include "DdsWriter.h"

#include <squish.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace ddstest {
namespace {

constexpr std::uint32_t DdsdCaps = 0x1, DdsdHeight = 0x2, DdsdWidth = 0x4, DdsdPixelFormat = 0x1000;
constexpr std::uint32_t DdsdMipCount = 0x20000, DdsdLinearSize = 0x80000, DdsdPitch = 0x8;
constexpr std::uint32_t CapsTexture = 0x1000, CapsMipmap = 0x400000, CapsComplex = 0x8;

std::uint32_t fourCCValue(const std::string &code)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < code.size(); ++i)
        value |= std::uint32_t(std::uint8_t(code[i])) << (8 * i);
    return value;
}

int squishFlags(Block block)
{
    switch (block) {
    case Block::Bc1: return squish::kDxt1;
    case Block::Bc2: return squish::kDxt3;
    case Block::Bc3: return squish::kDxt5;
    case Block::Bc4: return squish::kBc4;
    case Block::Bc5: return squish::kBc5;
    }
    return squish::kDxt1;
}

std::vector<std::uint8_t> header(const std::vector<RgbaImage> &levels, std::uint32_t pixelFlags,
                                 std::uint32_t fourCC, const BitMask *mask, bool compressed)
{
    std::vector<std::uint8_t> bytes(128, 0);
    std::memcpy(bytes.data(), "DDS ", 4);
    const RgbaImage &top = levels.front();
    std::uint32_t flags = DdsdCaps | DdsdHeight | DdsdWidth | DdsdPixelFormat;
    flags |= compressed ? DdsdLinearSize : DdsdPitch;
    std::uint32_t caps = CapsTexture;
    if (levels.size() > 1) {
        flags |= DdsdMipCount;
        caps |= CapsMipmap | CapsComplex;
    }
    put32(bytes, field::Size, 124);
    put32(bytes, field::Flags, flags);
    put32(bytes, field::Height, top.height);
    put32(bytes, field::Width, top.width);
    put32(bytes, field::MipCount, std::uint32_t(levels.size()));
    put32(bytes, 76, 32);
    put32(bytes, field::PixelFlags, pixelFlags);
    put32(bytes, field::FourCC, fourCC);
    if (mask) {
        put32(bytes, field::BitCount, mask->bits);
        put32(bytes, field::RedMask, mask->red);
        put32(bytes, field::RedMask + 4, mask->green);
        put32(bytes, field::RedMask + 8, mask->blue);
        put32(bytes, field::AlphaMask, mask->alpha);
        put32(bytes, 20, (top.width * mask->bits + 7) / 8);
    }
    put32(bytes, 108, caps);
    return bytes;
}

void append(std::vector<std::uint8_t> &to, const std::vector<std::uint8_t> &bytes)
{
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// The position of a non-zero mask's lowest bit.
std::uint32_t lowestBit(std::uint32_t mask)
{
    std::uint32_t shift = 0;
    while (!((mask >> shift) & 1u))
        ++shift;
    return shift;
}

std::uint32_t quantise(std::uint8_t value, std::uint32_t mask)
{
    if (!mask)
        return 0;
    const std::uint32_t shift = lowestBit(mask);
    const std::uint64_t maximum = mask >> shift;
    return std::uint32_t(((value * maximum + 127) / 255) << shift) & mask;
}

std::uint8_t stretch(std::uint32_t packed, std::uint32_t mask)
{
    if (!mask)
        return 0;
    const std::uint32_t shift = lowestBit(mask);
    const std::uint64_t maximum = mask >> shift;
    return std::uint8_t((((packed & mask) >> shift) * 255 + maximum / 2) / maximum);
}

} // namespace

RgbaImage gradient(std::uint32_t width, std::uint32_t height, unsigned seed)
{
    // Ramps that never wrap, so block compression stays close; alpha stays
    // above one half so DXT1 keeps every pixel opaque.
    const std::uint32_t shift = seed % 40;
    RgbaImage image(width, height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t *p = image.at(x, y);
            p[0] = std::uint8_t((x * 210) / (width > 1 ? width - 1 : 1) + shift);
            p[1] = std::uint8_t((y * 200) / (height > 1 ? height - 1 : 1) + 40 - shift);
            p[2] = std::uint8_t(((x + y) * 127) / (width + height) + 60 + shift);
            p[3] = std::uint8_t(255 - (x * 100) / (width > 1 ? width : 1));
        }
    return image;
}

RgbaImage solid(std::uint32_t width, std::uint32_t height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                std::uint8_t a)
{
    RgbaImage image(width, height);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = r;
        image.pixels[i + 1] = g;
        image.pixels[i + 2] = b;
        image.pixels[i + 3] = a;
    }
    return image;
}

BitMask a8r8g8b8() { return {PixelRgb | PixelAlphaPixels, 32, 0xff0000, 0xff00, 0xff, 0xff000000}; }
BitMask x8r8g8b8() { return {PixelRgb, 32, 0xff0000, 0xff00, 0xff, 0}; }
BitMask a8b8g8r8() { return {PixelRgb | PixelAlphaPixels, 32, 0xff, 0xff00, 0xff0000, 0xff000000}; }
BitMask r8g8b8() { return {PixelRgb, 24, 0xff0000, 0xff00, 0xff, 0}; }
BitMask r5g6b5() { return {PixelRgb, 16, 0xf800, 0x07e0, 0x001f, 0}; }
BitMask x1r5g5b5() { return {PixelRgb, 16, 0x7c00, 0x03e0, 0x001f, 0}; }
BitMask a1r5g5b5() { return {PixelRgb | PixelAlphaPixels, 16, 0x7c00, 0x03e0, 0x001f, 0x8000}; }
BitMask a4r4g4b4() { return {PixelRgb | PixelAlphaPixels, 16, 0x0f00, 0x00f0, 0x000f, 0xf000}; }
BitMask l8() { return {PixelLuminance, 8, 0xff, 0, 0, 0}; }
BitMask a8l8() { return {PixelLuminance | PixelAlphaPixels, 16, 0xff, 0, 0, 0xff00}; }
BitMask a8() { return {PixelAlpha, 8, 0, 0, 0, 0xff}; }

std::vector<std::uint8_t> compressBlocks(const RgbaImage &image, Block block)
{
    const int flags = squishFlags(block);
    std::vector<std::uint8_t> blocks(std::size_t(squish::GetStorageRequirements(int(image.width), int(image.height), flags)));
    squish::CompressImage(image.pixels.data(), int(image.width), int(image.height), blocks.data(),
                          flags | squish::kColourRangeFit);
    return blocks;
}

std::vector<std::uint8_t> packBitMask(const RgbaImage &image, const BitMask &format)
{
    const std::uint32_t bytesPerPixel = format.bits / 8;
    std::vector<std::uint8_t> bytes(std::size_t(image.width) * image.height * bytesPerPixel);
    std::uint8_t *out = bytes.data();
    for (std::size_t i = 0; i < std::size_t(image.width) * image.height; ++i, out += bytesPerPixel) {
        const std::uint8_t *p = image.pixels.data() + i * 4;
        std::uint32_t value = 0;
        if (format.pixelFlags & PixelRgb)
            value = quantise(p[0], format.red) | quantise(p[1], format.green) | quantise(p[2], format.blue);
        else if (format.pixelFlags & PixelLuminance)
            value = quantise(p[0], format.red);
        if (format.pixelFlags & (PixelAlphaPixels | PixelAlpha))
            value |= quantise(p[3], format.alpha);
        for (std::uint32_t b = 0; b < bytesPerPixel; ++b)
            out[b] = std::uint8_t(value >> (8 * b));
    }
    return bytes;
}

void expectedBitMaskColour(const BitMask &format, const std::uint8_t *rgba, std::uint8_t *rgb)
{
    if (format.pixelFlags & PixelRgb) {
        rgb[0] = stretch(quantise(rgba[0], format.red), format.red);
        rgb[1] = stretch(quantise(rgba[1], format.green), format.green);
        rgb[2] = stretch(quantise(rgba[2], format.blue), format.blue);
    } else if (format.pixelFlags & PixelLuminance) {
        rgb[0] = rgb[1] = rgb[2] = stretch(quantise(rgba[0], format.red), format.red);
    } else {
        rgb[0] = rgb[1] = rgb[2] = stretch(quantise(rgba[3], format.alpha), format.alpha);
    }
}

std::vector<RgbaImage> mipChain(const RgbaImage &image, std::uint32_t count)
{
    std::vector<RgbaImage> levels{image};
    while (levels.size() < count) {
        const RgbaImage &above = levels.back();
        RgbaImage next(above.width > 1 ? above.width / 2 : 1, above.height > 1 ? above.height / 2 : 1);
        for (std::uint32_t y = 0; y < next.height; ++y)
            for (std::uint32_t x = 0; x < next.width; ++x)
                for (int c = 0; c < 4; ++c) {
                    const std::uint32_t x0 = std::min(x * 2, above.width - 1), x1 = std::min(x * 2 + 1, above.width - 1);
                    const std::uint32_t y0 = std::min(y * 2, above.height - 1), y1 = std::min(y * 2 + 1, above.height - 1);
                    next.at(x, y)[c] = std::uint8_t((above.at(x0, y0)[c] + above.at(x1, y0)[c] + above.at(x0, y1)[c]
                                                     + above.at(x1, y1)[c] + 2) / 4);
                }
        levels.push_back(std::move(next));
    }
    return levels;
}

std::vector<std::uint8_t> legacyBlockDds(const std::vector<RgbaImage> &levels, Block block, const std::string &fourCC)
{
    std::vector<std::uint8_t> bytes = header(levels, PixelFourCCFlag, fourCCValue(fourCC), nullptr, true);
    for (const RgbaImage &level : levels)
        append(bytes, compressBlocks(level, block));
    return bytes;
}

namespace {

// The header with its DX10 extension: a 2D texture, one array slice.
std::vector<std::uint8_t> dx10Header(const std::vector<RgbaImage> &levels, std::uint32_t dxgi, bool compressed)
{
    std::vector<std::uint8_t> bytes = header(levels, PixelFourCCFlag, fourCCValue("DX10"), nullptr, compressed);
    bytes.resize(148, 0);
    put32(bytes, field::DxgiFormat, dxgi);
    put32(bytes, field::Dimension, 3);
    put32(bytes, field::ArraySize, 1);
    return bytes;
}

} // namespace

std::vector<std::uint8_t> dx10BlockDds(const std::vector<RgbaImage> &levels, Block block, std::uint32_t dxgi)
{
    std::vector<std::uint8_t> bytes = dx10Header(levels, dxgi, true);
    for (const RgbaImage &level : levels)
        append(bytes, compressBlocks(level, block));
    return bytes;
}

std::vector<std::uint8_t> legacyBitMaskDds(const std::vector<RgbaImage> &levels, const BitMask &format)
{
    std::vector<std::uint8_t> bytes = header(levels, format.pixelFlags, 0, &format, false);
    for (const RgbaImage &level : levels)
        append(bytes, packBitMask(level, format));
    return bytes;
}

std::vector<std::uint8_t> dx10ByteOrderDds(const std::vector<RgbaImage> &levels, std::uint32_t dxgi, bool blueFirst)
{
    std::vector<std::uint8_t> bytes = dx10Header(levels, dxgi, false);
    for (const RgbaImage &level : levels)
        for (std::size_t i = 0; i < level.pixels.size(); i += 4) {
            const std::uint8_t *p = level.pixels.data() + i;
            const std::uint8_t ordered[4] = {blueFirst ? p[2] : p[0], p[1], blueFirst ? p[0] : p[2], p[3]};
            bytes.insert(bytes.end(), ordered, ordered + 4);
        }
    return bytes;
}

std::uint32_t fourCCCode(const std::string &code)
{
    return fourCCValue(code);
}

std::uint16_t halfOf(float value)
{
    const std::uint16_t sign = std::signbit(value) ? 0x8000 : 0;
    value = std::fabs(value);
    if (std::isnan(value))
        return 0x7e00;
    if (value >= 65520.0f)
        return sign | 0x7c00;
    if (value < std::ldexp(1.0f, -14)) // subnormal: steps of 2^-24
        return sign | std::uint16_t(std::lround(std::ldexp(value, 24)));
    int exponent;
    const float fraction = std::frexp(value, &exponent); // value = fraction * 2^exponent, fraction in [0.5, 1)
    long mantissa = std::lround(std::ldexp(fraction, 11)); // 1024..2048
    if (mantissa == 2048) {
        mantissa = 1024;
        ++exponent;
    }
    return sign | std::uint16_t((exponent + 14) << 10) | std::uint16_t(mantissa - 1024);
}

namespace {

void appendLittleEndian(std::vector<std::uint8_t> &bytes, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(std::uint8_t(value >> (8 * i)));
}

void appendChannel(std::vector<std::uint8_t> &bytes, std::uint8_t value, Channel type)
{
    const double unit = value / 255.0;
    switch (type) {
    case Channel::Unorm8:
        bytes.push_back(value);
        break;
    case Channel::Unorm16:
        appendLittleEndian(bytes, value * 257u, 2);
        break;
    case Channel::Snorm8:
        bytes.push_back(std::uint8_t(std::int8_t(std::lround(unit * 254.0 - 127.0))));
        break;
    case Channel::Snorm16:
        appendLittleEndian(bytes, std::uint16_t(std::int16_t(std::lround(unit * 65534.0 - 32767.0))), 2);
        break;
    case Channel::Half:
        appendLittleEndian(bytes, halfOf(float(unit)), 2);
        break;
    case Channel::Float: {
        const float f = float(unit);
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        appendLittleEndian(bytes, bits, 4);
        break;
    }
    }
}

// The integer RGB to studio-range YUV conversion Microsoft documents.
int lumaOf(const std::uint8_t *p)
{
    return ((66 * p[0] + 129 * p[1] + 25 * p[2] + 128) >> 8) + 16;
}

int blueDifferenceOf(int r, int g, int b)
{
    return ((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128;
}

int redDifferenceOf(int r, int g, int b)
{
    return ((112 * r - 94 * g - 18 * b + 128) >> 8) + 128;
}

std::vector<std::uint8_t> headerFor(std::uint32_t width, std::uint32_t height, const Shape &shape,
                                    const PixelFormat &format, bool compressed)
{
    std::vector<std::uint8_t> bytes(128, 0);
    std::memcpy(bytes.data(), "DDS ", 4);
    std::uint32_t flags = DdsdCaps | DdsdHeight | DdsdWidth | DdsdPixelFormat;
    flags |= compressed ? DdsdLinearSize : DdsdPitch;
    std::uint32_t caps = CapsTexture;
    if (shape.mipCount > 1) {
        flags |= DdsdMipCount;
        caps |= CapsMipmap | CapsComplex;
    }
    std::uint32_t caps2 = shape.caps2;
    if (shape.depth > 0) {
        flags |= 0x800000; // depth
        caps2 |= 0x200000; // volume
        caps |= CapsComplex;
        put32(bytes, field::Depth, shape.depth);
    }
    if (caps2 & 0x200)
        caps |= CapsComplex;
    put32(bytes, field::Size, 124);
    put32(bytes, field::Flags, flags);
    put32(bytes, field::Height, height);
    put32(bytes, field::Width, width);
    put32(bytes, field::MipCount, shape.mipCount);
    put32(bytes, 76, 32);
    put32(bytes, field::PixelFlags, format.flags);
    put32(bytes, field::FourCC, format.fourCC);
    put32(bytes, field::BitCount, format.bits);
    put32(bytes, field::RedMask, format.red);
    put32(bytes, field::RedMask + 4, format.green);
    put32(bytes, field::RedMask + 8, format.blue);
    put32(bytes, field::AlphaMask, format.alpha);
    put32(bytes, 108, caps);
    put32(bytes, field::Caps2, caps2);
    return bytes;
}

} // namespace

std::vector<std::uint8_t> packChannels(const RgbaImage &image, Channel type, int count)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < image.pixels.size(); i += 4)
        for (int c = 0; c < count; ++c)
            appendChannel(bytes, image.pixels[i + std::size_t(c)], type);
    return bytes;
}

std::vector<std::uint8_t> packPackedFloats(const RgbaImage &image, PackedFloat kind)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        const std::uint8_t *p = image.pixels.data() + i;
        std::uint32_t word = 0;
        if (kind == PackedFloat::R11G11B10) {
            // A half float of the same exponent with its lowest mantissa bits rounded off.
            const auto narrowed = [](std::uint8_t value, int dropped) {
                return std::uint32_t((halfOf(value / 255.0f) + (1u << (dropped - 1))) >> dropped);
            };
            word = narrowed(p[0], 4) | narrowed(p[1], 4) << 11 | narrowed(p[2], 5) << 22;
        } else {
            const double largest = std::max({p[0], p[1], p[2]}) / 255.0;
            int exponent = 0;
            if (largest > 0) {
                exponent = std::max(-16, int(std::floor(std::log2(largest)))) + 16;
                if (std::lround(largest / std::ldexp(1.0, exponent - 24)) == 512)
                    ++exponent;
            }
            const double step = std::ldexp(1.0, exponent - 24);
            word = std::uint32_t(exponent) << 27;
            for (int c = 0; c < 3; ++c)
                word |= std::uint32_t(std::lround(p[c] / 255.0 / step)) << (9 * c);
        }
        appendLittleEndian(bytes, word, 4);
    }
    return bytes;
}

std::vector<std::uint8_t> packPairs(const RgbaImage &image, PairOrder order)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; x += 2) {
            const std::uint8_t *a = image.at(x, y);
            const std::uint8_t *b = image.at(std::min(x + 1, image.width - 1), y);
            const int r = (a[0] + b[0] + 1) / 2, g = (a[1] + b[1] + 1) / 2, bl = (a[2] + b[2] + 1) / 2;
            std::uint8_t quad[4];
            switch (order) {
            case PairOrder::Yuy2:
            case PairOrder::Uyvy: {
                const std::uint8_t y0 = std::uint8_t(lumaOf(a)), y1 = std::uint8_t(lumaOf(b));
                const std::uint8_t u = std::uint8_t(blueDifferenceOf(r, g, bl)), v = std::uint8_t(redDifferenceOf(r, g, bl));
                if (order == PairOrder::Yuy2) {
                    quad[0] = y0; quad[1] = u; quad[2] = y1; quad[3] = v;
                } else {
                    quad[0] = u; quad[1] = y0; quad[2] = v; quad[3] = y1;
                }
                break;
            }
            case PairOrder::GrGb:
                quad[0] = a[1]; quad[1] = std::uint8_t(r); quad[2] = b[1]; quad[3] = std::uint8_t(bl);
                break;
            case PairOrder::RgBg:
                quad[0] = std::uint8_t(r); quad[1] = a[1]; quad[2] = std::uint8_t(bl); quad[3] = b[1];
                break;
            }
            bytes.insert(bytes.end(), quad, quad + 4);
        }
    return bytes;
}

std::vector<std::uint8_t> packIndices(const std::vector<std::uint8_t> &indices, std::uint32_t width,
                                      std::uint32_t height, std::uint32_t bits, std::uint8_t alpha)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t index = indices[std::size_t(y) * width + x];
            if (bits == 4) {
                if (x % 2 == 0)
                    bytes.push_back(std::uint8_t(index << 4));
                else
                    bytes.back() |= index & 0xf;
            } else {
                bytes.push_back(index);
                if (bits == 16)
                    bytes.push_back(alpha);
            }
        }
    return bytes;
}

std::vector<std::uint8_t> legacyDds(const std::vector<RgbaImage> &surfaces, const PixelFormat &format,
                                    const Packer &pack, const Shape &shape, const std::vector<std::uint8_t> &palette)
{
    std::vector<std::uint8_t> bytes = headerFor(surfaces.front().width, surfaces.front().height, shape, format, false);
    append(bytes, palette);
    for (const RgbaImage &surface : surfaces)
        append(bytes, pack(surface));
    return bytes;
}

std::vector<std::uint8_t> dx10Dds(const std::vector<RgbaImage> &surfaces, std::uint32_t dxgi, const Packer &pack,
                                  const Shape &shape)
{
    PixelFormat format;
    format.flags = PixelFourCCFlag;
    format.fourCC = fourCCValue("DX10");
    Shape legacyShape = shape;
    legacyShape.caps2 = shape.cube ? Caps2CubeAllFaces : 0;
    std::vector<std::uint8_t> bytes = headerFor(surfaces.front().width, surfaces.front().height, legacyShape, format, false);
    bytes.resize(148, 0);
    put32(bytes, field::DxgiFormat, dxgi);
    put32(bytes, field::Dimension, shape.depth > 0 ? 4 : 3);
    put32(bytes, field::Dimension + 4, shape.cube ? 4 : 0);
    put32(bytes, field::ArraySize, shape.arraySize);
    for (const RgbaImage &surface : surfaces)
        append(bytes, pack(surface));
    return bytes;
}

void put32(std::vector<std::uint8_t> &bytes, std::size_t offset, std::uint32_t value)
{
    if (bytes.size() < offset + 4)
        bytes.resize(offset + 4, 0);
    for (int i = 0; i < 4; ++i)
        bytes[offset + std::size_t(i)] = std::uint8_t(value >> (8 * i));
}

bool writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace ddstest
