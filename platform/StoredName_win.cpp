#include "StoredName.h"

#include <windows.h>

#include <algorithm>

namespace StoredName {

QString spelledAsStored(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString name = path.mid(cut + 1);
    // FindFirstFile takes these as wildcards, and no stored name holds them.
    static const QString wildcards = QStringLiteral("*?<>\"");
    if (name.isEmpty() || std::any_of(name.begin(), name.end(), [](QChar c) { return wildcards.contains(c); }))
        return path;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(reinterpret_cast<const wchar_t *>(path.utf16()), &found);
    if (search == INVALID_HANDLE_VALUE)
        return path;
    FindClose(search);
    const QString stored = QString::fromWCharArray(found.cFileName);
    // Only a different spelling of the same name; a short 8.3 name asked
    // for is left as asked.
    if (stored.compare(name, Qt::CaseInsensitive) != 0)
        return path;
    return path.left(cut + 1) + stored;
}

} // namespace StoredName
