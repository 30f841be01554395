#pragma once

#include <optional>

// The arithmetic of the preview: how the converted picture is fitted into the
// square and where it sits.
namespace ThumbnailGeometry {

struct Fit
{
    int width = 0;  // cx
    int height = 0; // cy
    int left = 0;   // control pixel of the picture's left edge
    int top = 0;
};

// Fits a width x height picture into a square of `side` pixels, proportions
// kept, centred and inset by the 4-pixel frame margin. Nothing for an empty
// picture or square; a side that truncates to 0 keeps one pixel.
std::optional<Fit> fitInSquare(int width, int height, int side);

// Where a picture of its own size goes when it is shown unscaled (a cache
// file read back at whatever size it was stored).
int centredOffset(int side, int extent);

// The size of an export: the fitted size scaled from the square to
// `exportSize`, multiplying first and truncating.
int exportExtent(int exportSize, int fitted, int side);

} // namespace ThumbnailGeometry
