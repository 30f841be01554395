#include "ApplicationTitle.h"

#include <algorithm>

namespace corvane::controls {

QString defaultApplicationTitle(const QString &programPath)
{
    QString name = programPath;
    const qsizetype separator = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    name.remove(0, separator + 1);
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.isEmpty())
        return name;
    return name.left(1) + name.mid(1).toLower();
}

} // namespace corvane::controls
