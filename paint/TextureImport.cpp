#include "TextureImport.h"

#include "GameFiles.h"
#include "RegularFileOpen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TextureImport {

bool sameContent(const QString &first, const QString &second)
{
    QFile a(first);
    QFile b(second);
    if (!RegularFileOpen::openForReading(a) || !RegularFileOpen::openForReading(b) || a.size() != b.size())
        return false;
    constexpr qint64 blockSize = 256 * 1024;
    while (!a.atEnd()) {
        const QByteArray block = a.read(blockSize);
        if (block.isEmpty() || block != b.read(blockSize))
            return false;
    }
    return true;
}

PaintResult bringIntoFolder(const QString &file, const QString &folder)
{
    const QFileInfo source(file);
    if (!source.exists())
        return PaintResult::failure(file, QStringLiteral("No such file."));
    if (!source.isFile())
        return PaintResult::failure(file, QStringLiteral("This is not a regular file."));

    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    if (!canonicalFolder.isEmpty() && QFileInfo(source.canonicalPath()).canonicalFilePath() == canonicalFolder)
        return PaintResult::success(folder + source.fileName());

    const QString target = GameFiles::findGameFile(folder + source.fileName());
    if (QFileInfo::exists(target)) {
        if (sameContent(file, target))
            return PaintResult::success(target);
        return PaintResult::failure(target, QStringLiteral("A different file of this name is already in the aircraft's folder; "
                                                           "rename the new texture and add it again."));
    }
    QString reason;
    if (!GameFiles::importIfAbsent(folder, file, target, &reason))
        return PaintResult::failure(target, QStringLiteral("The texture could not be copied into the aircraft's folder: %1").arg(reason));
    return PaintResult::success(target);
}

} // namespace TextureImport
