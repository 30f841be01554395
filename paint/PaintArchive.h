#pragma once

#include "PaintResult.h"

#include "InstallProgress.h"
#include "TextureFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// A texture taken from a download: an archive entry or a loose file. Only
// what identifies it is kept, never its bytes: an install reads the download
// again and checks it still holds the same texture.
struct DownloadedTexture
{
    QString source;   // path inside the archive ("P51D/red.dds"), or the file's path
    QString fileName; // its last component, the name it is installed under
    int entry = -1;   // its place among the archive's entries (0 for a loose file)
    qint64 size = 0;
    QByteArray digest;
    std::optional<TextureFile::DdsShape> shape;
};

// Something of a download that is not installed, and why.
struct SkippedEntry
{
    QString source;
    QString reason;
};

// A read-me of a download: the paint's credits, squadron or era.
struct DownloadedNote
{
    QString source; // path inside the archive, or the file's path
    QString text;
};

struct DownloadContents
{
    // Fails, naming the download, when it could not be read; then nothing
    // is installed.
    PaintResult result;
    QList<DownloadedTexture> textures;
    QList<SkippedEntry> skipped;
    QList<DownloadedNote> notes;

    bool ok() const { return result.ok; }
};

// Where the bytes of a download's textures go while it is read. Without one
// they are only measured.
class TextureSink
{
public:
    virtual ~TextureSink() = default;
    // Whether this texture's bytes are wanted (source, fileName, entry and
    // shape are known); false to only measure it.
    virtual bool open(const DownloadedTexture &texture) = 0;
    // The next bytes of the opened texture; false once they cannot be taken
    // (the sink keeps why), and then nothing more comes.
    virtual bool write(QByteArrayView bytes) = 0;
    // After an open: the texture read to its end (size and digest filled
    // in) with an empty problem, or why the download did not give it whole.
    virtual void close(const DownloadedTexture &texture, const QString &problem) = 0;
};

// Reads paint downloads (zip, 7z, rar) entry by entry, streaming each
// texture to a sink, never holding it whole. Entries that would lead outside
// a folder, links, and anything but a texture are skipped and reported;
// archives that unpack to more than the limits are refused whole, since that
// is what an archive bomb looks like.
namespace PaintArchive {

struct Limits
{
    qint64 archiveBytes = 512ll << 20; // the archive file itself
    qint64 entryBytes = 128ll << 20;   // one entry unpacked (a 4096 x 4096 RGBA texture is 64 MiB)
    qint64 totalBytes = 512ll << 20;   // all textures unpacked
    // Everything unpacked, skipped entries included: a solid 7z unpacks what
    // it skips too. At most this much, and at most `unpackedPerByte` times
    // the archive's own size, though never less than `unpackedFloor`.
    qint64 unpackedBytes = 1ll << 30;
    qint64 unpackedPerByte = 100;
    qint64 unpackedFloor = 256ll << 20;
    int entries = 20000;
    // Checked as the download is unpacked: once cancelled, the read stops
    // and the download is refused with cancelledReason().
    const InstallProgress *progress = nullptr;

    qint64 unpackedLimitFor(qint64 archiveSize) const;
};

bool isArchiveFileName(const QString &fileName);

DownloadContents read(const QString &archivePath, const Limits &limits = {}, TextureSink *sink = nullptr);

// A loose texture file, with the same checks as an archive entry.
DownloadContents readTextureFile(const QString &path, const Limits &limits = {}, TextureSink *sink = nullptr);

// An unpacked download: every file below the folder, as if it were an
// archive of that layout; archives in it are opened one level down.
DownloadContents readFolder(const QString &folderPath, const Limits &limits = {}, TextureSink *sink = nullptr);

// Any of the above: a folder, else by the file's name.
DownloadContents readDownload(const QString &path, const Limits &limits = {}, TextureSink *sink = nullptr);

// Why an entry's path may not be followed, or an empty text: absolute paths,
// drive letters, ".." and names Windows cannot hold.
QString problemWithEntryPath(const QString &path);

// Why a download given by its path cannot be read at all ("is a folder",
// "its name cannot be read"), or an empty text for a regular file.
QString problemWithDownloadFile(const QString &path);

// The digest a texture of the download would have, for a file already on
// disk; empty when it cannot be read.
QByteArray digestOfFile(const QString &path);

} // namespace PaintArchive
