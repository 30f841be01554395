#include "PickedTexture.h"

#include "GameFiles.h"
#include "PaintArchive.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A picked texture is one file of bounded size (the reader's own limit), so
// it may be held whole until it is copied in.
class BytesSink : public TextureSink
{
public:
    QByteArray bytes;
    bool open(const DownloadedTexture &) override { return true; }
    bool write(QByteArrayView data) override
    {
        bytes.append(data);
        return true;
    }
    void close(const DownloadedTexture &, const QString &problem) override
    {
        if (!problem.isEmpty())
            bytes.clear();
    }
};

} // namespace

PickedTexture examinePickedTexture(const QString &aircraftFolder, const QString &pickedPath)
{
    PickedTexture picked;
    const QFileInfo info(GameFiles::findGameFile(pickedPath));
    picked.fileName = info.fileName();
    if (const QString problem = PaintArchive::problemWithDownloadFile(info.filePath()); !problem.isEmpty()) {
        picked.result = PaintResult::failure(pickedPath,
                                             QStringLiteral("The file %1 %2.").arg(QDir::toNativeSeparators(pickedPath), problem));
        return picked;
    }
    if (QDir(info.absolutePath()).canonicalPath() == QDir(aircraftFolder).canonicalPath()) {
        picked.kind = PickedTexture::InAircraftFolder;
        return picked;
    }
    BytesSink sink;
    const DownloadContents contents = PaintArchive::readTextureFile(info.filePath(), {}, &sink);
    if (!contents.ok()) {
        picked.result = contents.result;
    } else if (contents.textures.isEmpty()) {
        picked.result = PaintResult::failure(info.filePath(), QStringLiteral("%1 was not copied into the aircraft's folder: %2.")
                                                                  .arg(QDir::toNativeSeparators(info.filePath()),
                                                                       contents.skipped.value(0).reason));
    } else {
        picked.kind = PickedTexture::Elsewhere;
        picked.data = sink.bytes;
    }
    return picked;
}
