#pragma once

#include "PixelRows.h"

namespace korrad {

// R11G11B10 and R9G9B9E5 floats, clamped to 0..1 and scaled like the other
// floats (see ChannelPixels). Neither has a sign: nothing shows below black.
class PackedFloatPixels final : public PixelRowDecoder
{
public:
    explicit PackedFloatPixels(PackedFloatKind kind) : m_kind(kind) {}
    void decodeRow(const std::uint8_t *stored, std::uint32_t width, std::uint8_t *rgba) const override;

private:
    PackedFloatKind m_kind;
};

} // namespace korrad
