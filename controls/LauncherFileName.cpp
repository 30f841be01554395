#include "LauncherFileName.h"

namespace corvane::controls {

QStringView launcherPathSeparators()
{
#ifdef Q_OS_WIN
    return u"\\/:";
#else
    return u"/";
#endif
}

LauncherFileName splitLauncherFileName(const QString &fileName, QStringView separators)
{
    qsizetype lastSeparator = -1;
    for (qsizetype i = fileName.size() - 1; i >= 0; --i) {
        if (separators.contains(fileName.at(i))) {
            lastSeparator = i;
            break;
        }
    }

    LauncherFileName parts;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot > lastSeparator)
        parts.extension = fileName.mid(dot).toUpper();
    parts.folder = fileName.left(lastSeparator + 1);
    parts.caption = fileName.mid(lastSeparator + 1);
    parts.caption.chop(parts.extension.size());
    return parts;
}

} // namespace corvane::controls
