#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A texture taken from a download: an archive entry or a loose file.
struct DownloadedTexture
{
    QString source;   // path inside the archive ("P51D/red.dds"), or the file's path
    QString fileName; // its last component, the name it is installed under
    QByteArray data;
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
    QString error; // empty when the download could be read; then nothing is installed
    QList<DownloadedTexture> textures;
    QList<SkippedEntry> skipped;
    QList<DownloadedNote> notes;

    bool ok() const { return error.isEmpty(); }
};

// Reads paint downloads (zip, 7z, rar) into memory, never onto disk. Entries
// that would lead outside a folder, links, and anything but a texture are
// skipped and reported; archives that unpack to more than the limits are
// refused whole, since that is what an archive bomb looks like.
namespace PaintArchive {

struct Limits
{
    qint64 archiveBytes = 512ll << 20; // the archive file itself
    qint64 entryBytes = 128ll << 20;   // one entry unpacked (a 4096 x 4096 RGBA texture is 64 MiB)
    qint64 totalBytes = 512ll << 20;   // all textures unpacked
    int entries = 10000;
};

bool isArchiveFileName(const QString &fileName);

DownloadContents read(const QString &archivePath, const Limits &limits = {});

// A loose texture file, with the same checks as an archive entry.
DownloadContents readTextureFile(const QString &path, const Limits &limits = {});

// Why an entry's path may not be followed, or an empty text: absolute paths,
// drive letters, ".." and names Windows cannot hold.
QString problemWithEntryPath(const QString &path);

} // namespace PaintArchive
