#pragma once

#include "ByteSink.h"
#include "ByteSource.h"
#include "OutputPlan.h"

#include <cstdint>

namespace korrad {

// Decoded pictures are held whole, four bytes a pixel; beyond this a picture
// is refused before it is decoded (8192 x 4096 still fits).
constexpr std::uint64_t MaxPictureBytes = std::uint64_t(128) << 20;

// BMP, PNG, JPEG and TGA pictures, read by stb_image. Both answer false with
// the reason recorded (FailureReason.h) when the picture is refused.
bool canReadPicture(ByteSource &source);
bool convertPicture(ByteSource &source, const ConversionRequest &request, ByteSink &sink);

} // namespace korrad
