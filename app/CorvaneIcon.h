#pragma once

#include <QIcon>

// The program's 32 x 32 window icon: an aircraft seen from above over a
// paint swatch, in a handful of flat colours.
QIcon corvaneIcon();
