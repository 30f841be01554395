#pragma once

#include <QString>

namespace StoredName {

// path with its last part spelled as the file system keeps it. Windows finds
// a name in any letter case, but a file replaced under another spelling
// takes that spelling, and the player should see the names they have.
// path itself when nothing is there.
QString spelledAsStored(const QString &path);

} // namespace StoredName
