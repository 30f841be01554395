#pragma once

#include <QString>

// The reference textures in tests/data/dds, each beside the PNG a trusted
// decoder made of it, with the largest difference per channel a decoder may
// show: block formats round differently between decoders, uncompressed ones
// must match exactly.
struct ReferenceTexture
{
    const char *format;
    const char *name; // without ".dds" or ".png"
    int tolerance;
};

inline constexpr ReferenceTexture referenceTextures[] = {
    {"DXT1", "dxt1-rgb-4bbp-noalpha_MipMaps-1", 3},
    {"DXT3", "dxt3-argb-8bbp-explicitalpha_MipMaps-1", 3},
    {"DXT5", "dxt5-argb-8bbp-interpolatedalpha_MipMaps-1", 3},
    {"BC4 behind DX10", "bc4_unorm", 3},
    {"R8G8B8A8 behind DX10", "argb-32bpp_MipMaps-1", 0},
    {"32-bit bit masks", "uncompressed_rgb", 0},
};

inline QString referenceTextureFolder()
{
    return QStringLiteral(CORVANE_TESTDATA_DIR "/dds");
}
