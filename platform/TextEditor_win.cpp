#include "TextEditor.h"

#include "Notepad.h"

#include <QDir>
#include <QWidget>

bool openInTextEditor(const QString &filePath, QWidget *owner)
{
    const HWND window = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    return corvane::win32::startNotepad(window, QDir::toNativeSeparators(filePath).toStdWString());
}
