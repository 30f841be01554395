#pragma once

#include "PaintResult.h"

#include <QFileDevice>
#include <QString>

// Copies what is left of one open file into another, as cheaply as the
// system allows: where it can, without the bytes passing through this
// process at all. Both files are used at the system's own position, so
// neither may hold bytes in Qt's buffer (flush the target first, read
// nothing from the source through Qt before).
namespace FileContentCopy {

// Success with the target, or the file that failed (the source for a read,
// the target for a write) with the system's reason; copied counts the bytes
// that went over either way.
PaintResult copy(QFileDevice &from, QFileDevice &to, qint64 *copied);

} // namespace FileContentCopy
