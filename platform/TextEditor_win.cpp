#include "TextEditor.h"

#include <QWidget>

#include <windows.h>
#include <shellapi.h>

bool openInTextEditor(const QString &filePath, QWidget *owner)
{
    // Notepad takes the rest of its command line as the file name, so the
    // path goes unquoted, as it always has.
    const HWND window = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    const QByteArray path = filePath.toLocal8Bit();
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(window, "open", "notepad", path.constData(), nullptr, SW_SHOW));
    return result > 32;
}
