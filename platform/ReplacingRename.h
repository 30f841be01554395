#pragma once

#include "PaintResult.h"

#include <QString>

// Gives a file a new name, replacing whatever file has that name, in one
// step: anyone opening the name sees the old file or the new one, never
// neither. Both must lie in the same folder.
namespace ReplacingRename {

// A failure names the new name and gives the system's reason.
PaintResult rename(const QString &from, const QString &to);

} // namespace ReplacingRename
