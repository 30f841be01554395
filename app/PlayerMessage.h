#pragma once

#include "FocusedWindow.h"
#include "PaintResult.h"
#include "SectionName.h"

#include <QMessageBox>

// A problem the player must read, owned by the window that has the keyboard
// focus and captioned with the settings section, as every box of the program.
inline void tellPlayer(QWidget *fallback, const QString &message)
{
    QMessageBox::warning(focusedWindow(fallback), SectionName, message);
}

inline void tellPlayer(QWidget *fallback, const PaintResult &result)
{
    tellPlayer(fallback, result.message());
}

inline void informPlayer(QWidget *fallback, const QString &message)
{
    QMessageBox::information(focusedWindow(fallback), SectionName, message);
}
