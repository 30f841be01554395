#pragma once

#include <QString>

// Text for a terminal. Titles, names and paths come from strangers' files,
// and a control character among them would be obeyed by the terminal (an
// escape sequence can retitle the window, recolour or hide what follows):
// each is shown as a visible placeholder instead, "^[" for ESC, "^?" for
// DEL and "<9B>" for the C1 controls. Tabs and line ends of the output's
// own lines stay.
QString terminalText(const QString &text);
