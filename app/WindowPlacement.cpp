#include "WindowPlacement.h"

namespace {
// Enough of the caption to grab it with the mouse.
constexpr int GripWidth = 48;
constexpr int GripHeight = 16;
} // namespace

QPoint reachablePosition(const QPoint &stored, const QSize &windowSize,
                         const QList<QRect> &screens, const QPoint &fallback)
{
    const QRect caption(stored, QSize(windowSize.width(), GripHeight));
    for (const QRect &screen : screens) {
        const QRect seen = caption.intersected(screen);
        if (seen.width() >= GripWidth && seen.height() >= GripHeight)
            return stored;
    }
    return fallback;
}
