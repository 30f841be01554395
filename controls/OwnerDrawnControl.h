#pragma once

#include "OwnerDraw.h"

#include <QWidget>

class QMouseEvent;

namespace corvane::controls {

// The base of the owner-drawn buttons: a widget that paints itself over its
// published background colour (the colour the toolkit erases it in) and
// reports the mouse the way the toolkit's own controls do.
class OwnerDrawnControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor Color READ color WRITE setColor)

public:
    using QWidget::QWidget;

    QColor color() const { return enabledLookColor(this, QPalette::Window); }
    void setColor(const QColor &color) { setBackgroundColor(this, color); }

signals:
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    // The left and the middle button press a button; the right one only
    // reports.
    static bool pressesButton(Qt::MouseButton button);

    void reportPress(QMouseEvent *event);
    void reportMove(QMouseEvent *event);
    // OnClick first, when a left press ends inside, then OnMouseUp: handlers
    // run while the button still looks pressed. False when a handler
    // destroyed the control, which must then not be touched.
    bool reportRelease(QMouseEvent *event);
    // The release of the current press will not come here (a menu took it).
    void forgetPress() { m_leftPressed = false; }

private:
    bool m_leftPressed = false;
};

} // namespace corvane::controls
