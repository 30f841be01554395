#pragma once

#include <QFileDevice>
#include <QString>

// Copies what is left of one open file into another, as cheaply as the
// system allows: where it can, without the bytes passing through this
// process at all. Both files are used at the system's own position, so
// neither may hold bytes in Qt's buffer (flush the target first, read
// nothing from the source through Qt before).
namespace FileContentCopy {

// The number of bytes copied, or -1 with the system's reason.
qint64 copy(QFileDevice &from, QFileDevice &to, QString *reason = nullptr);

} // namespace FileContentCopy
