#include "OwnerDraw.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace corvane::controls {

void drawFrameSegment(QPainter &painter, QPoint from, QPoint to, const QColor &color)
{
    const int dx = (to.x() > from.x()) - (to.x() < from.x());
    const int dy = (to.y() > from.y()) - (to.y() < from.y());
    if (dx != 0 && dy != 0)
        return; // frames are made of axis-aligned lines only
    const int steps = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    if (steps == 0)
        return;
    // One rectangle per segment instead of per-pixel points: the pixels are
    // the same, the cost is one fill.
    const QPoint last = from + QPoint(dx, dy) * (steps - 1);
    painter.fillRect(QRect(QPoint(std::min(from.x(), last.x()), std::min(from.y(), last.y())),
                           QPoint(std::max(from.x(), last.x()), std::max(from.y(), last.y()))),
                     color);
}

QColor enabledLookColor(const QWidget *widget, QPalette::ColorRole role)
{
    const QPalette::ColorGroup group = widget->isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    return widget->palette().color(group, role);
}

void setBackgroundColor(QWidget *widget, const QColor &color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    widget->setPalette(p);
    widget->update();
}

} // namespace corvane::controls
