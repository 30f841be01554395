#include "ThumbnailNames.h"

namespace ThumbnailNames {
namespace {

bool isSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'\\' || c == u'/' || c == u':';
#else
    return c == u'/';
#endif
}

qsizetype fileNameStart(const QString &path)
{
    for (qsizetype i = path.size(); i > 0; --i)
        if (isSeparator(path.at(i - 1)))
            return i;
    return 0;
}

} // namespace

QString fileNamePart(const QString &path)
{
    return path.mid(fileNameStart(path));
}

QString extension(const QString &path)
{
    const qsizetype start = fileNameStart(path);
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot >= start ? path.mid(dot) : QString();
}

QString cacheFileName(const QString &path, const QString &cacheDirectory)
{
    const QString cacheName = path.chopped(extension(path).size()) + QStringLiteral("._tm");
    if (cacheDirectory.isEmpty())
        return cacheName;
    return cacheDirectory + fileNamePart(cacheName);
}

} // namespace ThumbnailNames
