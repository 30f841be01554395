#include "WindowPlacement.h"

#include <algorithm>

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

QPoint centredOver(const QRect &owner, const QSize &windowSize, const QRect &available)
{
    const QPoint centred = owner.center() - QPoint(windowSize.width() / 2, windowSize.height() / 2);
    // The far edges first, so the near ones (the caption) win.
    const int x = std::min(centred.x(), available.left() + available.width() - windowSize.width());
    const int y = std::min(centred.y(), available.top() + available.height() - windowSize.height());
    return QPoint(std::max(x, available.left()), std::max(y, available.top()));
}
