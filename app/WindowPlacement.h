#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window goes whose position was stored in an earlier session: the
// stored position, unless that would leave the window's caption on no screen
// (a monitor unplugged since, a setting edited by hand); then the fallback,
// so the player can always see and move the window.
QPoint reachablePosition(const QPoint &stored, const QSize &windowSize,
                         const QList<QRect> &screens, const QPoint &fallback);
