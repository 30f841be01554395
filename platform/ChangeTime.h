#pragma once

#include <QDateTime>
#include <QFileInfo>

namespace ChangeTime {

// When the file's contents or metadata last changed, a time no program sets
// back (unlike the modification time, which archive tools restore). On
// Windows Qt gives the modification time for it, so the system is asked
// there; elsewhere it is what file already holds. Invalid when the file
// cannot be looked at.
QDateTime of(const QFileInfo &file);

} // namespace ChangeTime
