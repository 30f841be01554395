#include "OwnerDrawnControl.h"

#include <QMouseEvent>
#include <QPointer>

namespace corvane::controls {

bool OwnerDrawnControl::pressesButton(Qt::MouseButton button)
{
    return button == Qt::LeftButton || button == Qt::MiddleButton;
}

void OwnerDrawnControl::reportPress(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit OnMouseDown(event->button(), event->modifiers(), at.x(), at.y());
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
}

void OwnerDrawnControl::reportMove(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit OnMouseMove(event->modifiers(), at.x(), at.y());
}

bool OwnerDrawnControl::reportRelease(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    QPointer<OwnerDrawnControl> alive(this);
    if (event->button() == Qt::LeftButton && m_leftPressed) {
        m_leftPressed = false;
        if (rect().contains(at))
            emit OnClick();
        if (!alive)
            return false;
    }
    emit OnMouseUp(event->button(), event->modifiers(), at.x(), at.y());
    return !alive.isNull();
}

} // namespace corvane::controls
