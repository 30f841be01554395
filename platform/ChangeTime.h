#pragma once

#include <QDateTime>
#include <QString>

namespace ChangeTime {

// When the file's contents or metadata last changed, a time no program sets
// back (unlike the modification time, which archive tools restore). Qt gives
// the modification time for it on Windows, so this asks the system itself.
// Invalid when the file cannot be looked at.
QDateTime of(const QString &path);

} // namespace ChangeTime
