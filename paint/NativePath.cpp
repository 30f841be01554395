#include "NativePath.h"

#include <QDir>

namespace NativePath {

namespace {

qsizetype fileNameStart(const QString &path)
{
    for (qsizetype i = path.size(); i > 0; --i) {
        if (isSeparator(path.at(i - 1)))
            return i;
    }
    return 0;
}

} // namespace

bool isSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'\\' || c == u'/' || c == u':';
#else
    return c == u'/';
#endif
}

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty())
        return folder;
    QString native = QDir::toNativeSeparators(folder);
    if (!native.endsWith(QDir::separator()))
        native += QDir::separator();
    return native;
}

QString folderOf(const QString &path)
{
    return path.left(fileNameStart(path));
}

QString fileName(const QString &path)
{
    return path.mid(fileNameStart(path));
}

QString withoutExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

} // namespace NativePath
