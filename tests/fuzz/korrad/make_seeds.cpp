// Writes one small texture of every format the reader knows into the folder
// given, as a starting corpus for the fuzzer.

#include "DdsWriter.h"

#include <cstdio>
#include <iterator>
#include <string>

using namespace ddstest;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const auto chain = mipChain(gradient(16, 8), 5);
    const auto odd = mipChain(gradient(7, 5), 1);
    int written = 0, attempted = 0;
    auto save = [&](const std::string &name, const std::vector<std::uint8_t> &bytes) {
        ++attempted;
        written += writeFile(folder + name + ".dds", bytes) ? 1 : 0;
    };
    save("dxt1", legacyBlockDds(chain, Block::Bc1, "DXT1"));
    save("dxt1-odd", legacyBlockDds(odd, Block::Bc1, "DXT1"));
    save("dxt3", legacyBlockDds(chain, Block::Bc2, "DXT3"));
    save("dxt5", legacyBlockDds(chain, Block::Bc3, "DXT5"));
    save("ati1", legacyBlockDds(chain, Block::Bc4, "ATI1"));
    save("ati2", legacyBlockDds(chain, Block::Bc5, "ATI2"));
    save("dx10-bc1", dx10BlockDds(chain, Block::Bc1, 71));
    save("dx10-bc5", dx10BlockDds(odd, Block::Bc5, 83));
    save("dx10-rgba", dx10ByteOrderDds(chain, 28, false));
    save("dx10-bgra", dx10ByteOrderDds(odd, 87, true));
    const BitMask masks[] = {a8r8g8b8(), r8g8b8(), r5g6b5(), a1r5g5b5(), a4r4g4b4(), l8(), a8l8(), a8()};
    for (std::size_t i = 0; i < std::size(masks); ++i)
        save("mask" + std::to_string(i), legacyBitMaskDds(i % 2 ? odd : chain, masks[i]));

    // Channels, signed pairs, palettes, pixel pairs and many-picture textures.
    Shape chainShape;
    chainShape.mipCount = std::uint32_t(chain.size());
    auto channels = [](Channel type, int count) -> Packer {
        return [=](const RgbaImage &image) { return packChannels(image, type, count); };
    };
    auto numbered = [](std::uint32_t code) {
        PixelFormat format;
        format.flags = PixelFourCCFlag;
        format.fourCC = code;
        return format;
    };
    const struct { const char *name; std::uint32_t code; Channel type; int count; } numberedFormats[] = {
        {"a16b16g16r16", 36, Channel::Unorm16, 4}, {"r16f", 111, Channel::Half, 1},
        {"a16b16g16r16f", 113, Channel::Half, 4},  {"a32b32g32r32f", 116, Channel::Float, 4},
        {"q16w16v16u16", 110, Channel::Snorm16, 4}, {"cxv8u8", 117, Channel::Snorm8, 2},
        {"v8u8-numbered", 60, Channel::Snorm8, 2},
    };
    for (const auto &f : numberedFormats)
        save(f.name, legacyDds(chain, numbered(f.code), channels(f.type, f.count), chainShape));
    const struct { const char *name; std::uint32_t dxgi; Channel type; int count; } dxgiFormats[] = {
        {"dx10-r32g32b32a32f", 2, Channel::Float, 4}, {"dx10-r32g32b32f", 6, Channel::Float, 3},
        {"dx10-r16g16b16a16f", 10, Channel::Half, 4}, {"dx10-r16g16unorm", 35, Channel::Unorm16, 2},
        {"dx10-r8g8b8a8snorm", 31, Channel::Snorm8, 4}, {"dx10-r16snorm", 58, Channel::Snorm16, 1},
    };
    for (const auto &f : dxgiFormats)
        save(f.name, dx10Dds(odd, f.dxgi, channels(f.type, f.count)));
    save("dx10-r11g11b10f", dx10Dds(odd, 26, [](const RgbaImage &image) {
        return packPackedFloats(image, PackedFloat::R11G11B10);
    }));
    save("dx10-r9g9b9e5", dx10Dds(chain, 67, [](const RgbaImage &image) {
        return packPackedFloats(image, PackedFloat::R9G9B9E5);
    }, chainShape));
    save("v8u8", legacyDds(odd, PixelFormat{PixelBumpDuDv, 0, 16, 0xff, 0xff00, 0, 0}, channels(Channel::Snorm8, 2)));
    save("a2b10g10r10", legacyBitMaskDds(odd, BitMask{PixelRgb | PixelAlphaPixels, 32, 0x3ff00000, 0xffc00, 0x3ff,
                                                      0xc0000000}));
    save("l8-rgb", legacyBitMaskDds(odd, BitMask{PixelLuminance | PixelRgb, 8, 0xff, 0, 0, 0}));

    std::vector<std::uint8_t> palette(256 * 4);
    for (std::size_t i = 0; i < palette.size(); ++i)
        palette[i] = std::uint8_t(i * 7);
    std::vector<std::uint8_t> indices(7 * 5);
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = std::uint8_t(i * 3);
    const RgbaImage blank(7, 5);
    for (std::uint32_t bits : {4u, 8u, 16u}) {
        const PixelFormat format{bits == 4 ? PixelPalette4 : PixelPalette8, 0, bits, 0, 0, 0, 0};
        const std::vector<std::uint8_t> colours(palette.begin(), palette.begin() + (bits == 4 ? 64 : 1024));
        save("palette" + std::to_string(bits),
             legacyDds({blank}, format, [&](const RgbaImage &) { return packIndices(indices, 7, 5, bits); }, {}, colours));
    }

    const struct { const char *name; const char *code; PairOrder order; } pairFormats[] = {
        {"yuy2", "YUY2", PairOrder::Yuy2}, {"uyvy", "UYVY", PairOrder::Uyvy},
        {"rgbg", "RGBG", PairOrder::GrGb}, {"grgb", "GRGB", PairOrder::RgBg},
    };
    for (const auto &f : pairFormats)
        save(f.name, legacyDds(odd, numbered(fourCCCode(f.code)),
                               [&](const RgbaImage &image) { return packPairs(image, f.order); }));
    save("dx10-yuy2", dx10Dds(chain, 107, [](const RgbaImage &image) { return packPairs(image, PairOrder::Yuy2); },
                              chainShape));
    save("rxgb", legacyBlockDds(chain, Block::Bc3, "RXGB"));

    const auto small = mipChain(gradient(8, 8), 4);
    std::vector<RgbaImage> faces;
    for (int face = 0; face < 6; ++face)
        faces.insert(faces.end(), small.begin(), small.end());
    Shape cube;
    cube.mipCount = 4;
    cube.caps2 = Caps2CubeAllFaces;
    const PixelFormat abgr{PixelRgb, 0, 32, 0xff, 0xff00, 0xff0000, 0};
    save("cube", legacyDds(faces, abgr, channels(Channel::Unorm8, 4), cube));
    Shape array;
    array.mipCount = 4;
    array.arraySize = 2;
    save("dx10-array", dx10Dds(std::vector<RgbaImage>(faces.begin(), faces.begin() + 8), 28,
                               channels(Channel::Unorm8, 4), array));
    Shape volume;
    volume.depth = 2;
    volume.mipCount = 2;
    save("volume", legacyDds({gradient(4, 4), gradient(4, 4, 3), gradient(2, 2)}, abgr, channels(Channel::Unorm8, 4),
                             volume));

    std::printf("%d seeds written\n", written);
    return written == attempted ? 0 : 1;
}
