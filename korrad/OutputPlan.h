#pragma once

#include "korrad.h"

#include <cstdint>
#include <optional>

namespace korrad {

enum class ConversionMode : std::int32_t { Preview = KORRAD_MODE_PREVIEW, Export = KORRAD_MODE_EXPORT };

// What the caller asked for: mode and size hint as the entry points take them.
struct ConversionRequest
{
    std::int32_t mode = 1;
    std::int32_t sizeHint = 0;
    bool grey = false;
    // The longer side wanted, in place of the hint's, for callers inside the
    // program that know it (the thumbnailer); 0 takes the hint's.
    std::uint32_t side = 0;
};

// Which stored level to decode and what size to write it at.
struct OutputPlan
{
    std::uint32_t level = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The longer side a preview with this hint wants, or 0 for full size.
// Answers nothing for a hint the library does not know.
std::optional<std::uint32_t> previewSideForHint(std::int32_t sizeHint);

// True for the modes and hints the entry points know.
bool isSupportedRequest(const ConversionRequest &request);

// Picks a level whose longer side reaches at least twice the wanted side
// (level 0 when none does): the finest one of at most 1024 x 1024 pixels, or
// else the smallest that is large enough; and, when that level is larger
// than wanted, the reduced size to write. A stored level of the wanted size
// is never shown as it is: its block artefacts would show, where the mean of
// a larger level hides them. Exports and hint 0 always take level 0 at its
// own size. `levelCount` >= 1.
std::optional<OutputPlan> planOutput(std::uint32_t width, std::uint32_t height,
                                     std::uint32_t levelCount, const ConversionRequest &request);

} // namespace korrad
