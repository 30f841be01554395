#pragma once

#include <QColor>
#include <QPalette>
#include <QPoint>

class QPainter;
class QWidget;

namespace corvane::controls {

// Draws a horizontal or vertical line from `from` up to, but not including,
// `to`, so consecutive segments of a frame each own their first pixel and
// the corner pixels get the colour of the segment that starts there.
void drawFrameSegment(QPainter &painter, QPoint from, QPoint to, const QColor &color);

// The colour a control shows for role when it is enabled. The owner-drawn
// buttons keep their enabled look when disabled, so they never read the
// palette's disabled group.
QColor enabledLookColor(const QWidget *widget, QPalette::ColorRole role);

// The background (the toolkit's erase colour) of an owner-drawn control.
void setBackgroundColor(QWidget *widget, const QColor &color);

} // namespace corvane::controls
