#pragma once

#include "OwnerDraw.h"

#include <QWidget>

namespace corvane::controls {

// The base of the owner-drawn buttons: a widget that paints itself over its
// published background colour, the colour the toolkit erases it in.
class OwnerDrawnControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor Color READ color WRITE setColor)

public:
    using QWidget::QWidget;

    QColor color() const { return enabledLookColor(this, QPalette::Window); }
    void setColor(const QColor &color) { setBackgroundColor(this, color); }
};

} // namespace corvane::controls
