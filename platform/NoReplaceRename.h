#pragma once

#include "PaintResult.h"

#include <QString>

// Gives a file a new name only when nothing at all has that name yet: no
// file, no folder, and no link, a link that leads nowhere included (renaming
// onto one must never create the file it points at). Atomic where the
// system can do it.
namespace NoReplaceRename {

// A failure names the new name and gives the system's reason.
PaintResult rename(const QString &from, const QString &to);

} // namespace NoReplaceRename
