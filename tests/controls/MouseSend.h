#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Delivers a mouse event straight to a widget, at any point including ones
// outside it: the headless platform has no real pointer to move there.
namespace MouseSend {

inline void send(QWidget *widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void press(QWidget *widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    send(widget, QEvent::MouseButtonPress, button, button, at);
}

inline void release(QWidget *widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    send(widget, QEvent::MouseButtonRelease, button, Qt::NoButton, at);
}

inline void move(QWidget *widget, QPoint at, Qt::MouseButtons held = Qt::NoButton)
{
    send(widget, QEvent::MouseMove, Qt::NoButton, held, at);
}

inline void click(QWidget *widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    press(widget, at, button);
    release(widget, at, button);
}

} // namespace MouseSend
