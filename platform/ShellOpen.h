#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace corvane::platform {

// Where a shortcut leads: the file to start and the folder to start it in.
struct ShortcutTarget {
    QString path;
    QString folder;
};

// Whether fileName stands for another file: a shell link (upperExtension
// ".LNK") on Windows, a symbolic link elsewhere.
bool isShortcut(const QString &fileName, const QString &upperExtension);

// Follows a shortcut to its target. Empty when it cannot be followed.
// window owns whatever the shell shows while it searches for a moved target.
std::optional<ShortcutTarget> resolveShortcut(const QString &fileName, QWidget *window);

// Starts a program, or opens a document with its program, in folder.
// A failure to start goes unnoticed, as a double click that fails would.
void startFile(const QString &fileName, const QString &folder, QWidget *window);

} // namespace corvane::platform
