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

// Where a window of this size opens over its owner: centred on it, as the
// system places it, but moved as little as needed to stay inside the
// screen's free area. Windows lets a window centred on one near the top
// left open with its caption above the screen, where it cannot be moved.
// When larger than the area, its caption stays in.
QPoint centredOver(const QRect &owner, const QSize &windowSize, const QRect &available);
