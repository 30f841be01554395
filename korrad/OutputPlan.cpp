#include "OutputPlan.h"

#include <algorithm>

namespace korrad {

namespace {
// What the 512-pixel preview reads at twice its size.
constexpr std::uint64_t FinestLevelPixels = 1024 * 1024;
} // namespace

std::optional<std::uint32_t> previewSideForHint(std::int32_t sizeHint)
{
    const std::int32_t side = korrad_preview_side(sizeHint);
    if (side < 0)
        return std::nullopt;
    return std::uint32_t(side);
}

bool isSupportedRequest(const ConversionRequest &request)
{
    return (request.mode == std::int32_t(ConversionMode::Preview) || request.mode == std::int32_t(ConversionMode::Export))
           && previewSideForHint(request.sizeHint).has_value();
}

std::optional<OutputPlan> planOutput(std::uint32_t width, std::uint32_t height,
                                     std::uint32_t levelCount, const ConversionRequest &request)
{
    if (width == 0 || height == 0 || levelCount == 0)
        return std::nullopt;
    if (!isSupportedRequest(request))
        return std::nullopt;
    const auto wanted = request.side != 0 ? std::optional<std::uint32_t>(request.side)
                                          : previewSideForHint(request.sizeHint);

    OutputPlan plan{0, width, height};
    if (request.mode == std::int32_t(ConversionMode::Export) || *wanted == 0)
        return plan;

    auto sideAt = [](std::uint32_t side, std::uint32_t level) { return std::max(side >> level, 1u); };
    const std::uint64_t reduceFrom = 2 * std::uint64_t(*wanted);
    for (std::uint32_t level = 1; level < levelCount && level < 32; ++level) {
        if (std::max(sideAt(width, level), sideAt(height, level)) < reduceFrom)
            break;
        plan.level = level;
    }
    // Finer levels carry smaller compression errors, and reducing them costs
    // little while they stay within what the largest preview reads anyway.
    const auto pixelsAt = [&](std::uint32_t level) {
        return std::uint64_t(sideAt(width, level)) * sideAt(height, level);
    };
    while (plan.level > 0 && pixelsAt(plan.level - 1) <= FinestLevelPixels)
        --plan.level;
    const std::uint32_t w = sideAt(width, plan.level);
    const std::uint32_t h = sideAt(height, plan.level);
    const std::uint32_t longer = std::max(w, h);
    plan.width = w;
    plan.height = h;
    if (longer > *wanted) {
        // Keep the proportions; the shorter side rounds to the nearest pixel.
        const auto scaled = [&](std::uint32_t side) {
            return std::max<std::uint32_t>(1, std::uint32_t((std::uint64_t(side) * *wanted + longer / 2) / longer));
        };
        plan.width = w == longer ? *wanted : scaled(w);
        plan.height = h == longer ? *wanted : scaled(h);
    }
    return plan;
}

} // namespace korrad
