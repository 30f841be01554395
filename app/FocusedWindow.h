#pragma once

#include <QApplication>
#include <QWidget>

// The owner of a question or a problem the player must act on: the window
// that has the keyboard focus, else the fallback, else the active window.
inline QWidget *focusedWindow(QWidget *fallback = nullptr)
{
    if (QWidget *focus = QApplication::focusWidget())
        return focus->window();
    return fallback ? fallback : QApplication::activeWindow();
}
