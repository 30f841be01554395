#pragma once

#include <QString>

namespace corvane::controls {

// The title a program gets when it sets none: its file name without folder,
// cut at the first full stop, every letter after the first in lower case
// ("C:\Games\MyTool.exe" -> "Mytool").
QString defaultApplicationTitle(const QString &programPath);

} // namespace corvane::controls
