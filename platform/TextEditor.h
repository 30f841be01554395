#pragma once

#include <QString>

class QWidget;

// Starts the system's plain-text editor on a file and returns at once; the
// editor is never waited for. False when no editor could be started.
bool openInTextEditor(const QString &filePath, QWidget *owner = nullptr);
