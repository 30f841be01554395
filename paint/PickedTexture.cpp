#include "PickedTexture.h"

#include "GameFiles.h"
#include "PaintArchive.h"

#include <QDir>
#include <QFileInfo>

PickedTexture examinePickedTexture(const QString &aircraftFolder, const QString &pickedPath)
{
    PickedTexture picked;
    const QFileInfo info(GameFiles::findGameFile(pickedPath));
    picked.fileName = info.fileName();
    if (!info.isFile()) {
        picked.reason = QStringLiteral("The file %1 does not exist.").arg(QDir::toNativeSeparators(pickedPath));
        return picked;
    }
    if (QDir(info.absolutePath()).canonicalPath() == QDir(aircraftFolder).canonicalPath()) {
        picked.kind = PickedTexture::InAircraftFolder;
        return picked;
    }
    const DownloadContents contents = PaintArchive::readTextureFile(info.filePath());
    if (!contents.ok()) {
        picked.reason = contents.error;
    } else if (contents.textures.isEmpty()) {
        picked.reason = QStringLiteral("%1 was not copied into the aircraft's folder: %2.")
                            .arg(QDir::toNativeSeparators(info.filePath()), contents.skipped.value(0).reason);
    } else {
        picked.kind = PickedTexture::Elsewhere;
        picked.data = contents.textures.first().data;
    }
    return picked;
}
