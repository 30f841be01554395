#include "ThumbnailGeometry.h"

#include <algorithm>

namespace ThumbnailGeometry {

std::optional<Fit> fitInSquare(int width, int height, int side)
{
    if (width < 1 || height < 1 || side < 1)
        return std::nullopt;
    const double widthPerHeight = double(width) / double(height);
    const double heightPerWidth = double(height) / double(width);
    Fit fit;
    fit.width = int(side * widthPerHeight);
    fit.height = side;
    if (fit.width > side) {
        fit.width = side;
        fit.height = int(side * heightPerWidth);
    }
    fit.width = std::max(fit.width, 1);
    fit.height = std::max(fit.height, 1);
    fit.left = centredOffset(side, fit.width);
    fit.top = centredOffset(side, fit.height);
    return fit;
}

int centredOffset(int side, int extent)
{
    return (side - extent) / 2 + 4;
}

int exportExtent(int exportSize, int fitted, int side)
{
    if (side == 0)
        return 0;
    const long long scaled = static_cast<long long>(exportSize) * fitted / side;
    return scaled > 0 && scaled <= 1 << 16 ? int(scaled) : 0;
}

} // namespace ThumbnailGeometry
