#pragma once

#include <QString>

namespace StoredName {

// path with its last part spelled as the file system keeps it. Windows finds
// a name in any letter case; the player should still see, and a save that
// replaces a file keep, the spelling they have. path itself when nothing is
// there.
QString spelledAsStored(const QString &path);

} // namespace StoredName
