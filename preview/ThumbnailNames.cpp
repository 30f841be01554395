#include "ThumbnailNames.h"

#include "NativePath.h"

namespace ThumbnailNames {
QString fileNamePart(const QString &path)
{
    return NativePath::fileName(path);
}

QString extension(const QString &path)
{
    const qsizetype start = NativePath::folderOf(path).size();
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
