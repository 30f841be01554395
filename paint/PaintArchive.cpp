#include "PaintArchive.h"

#include "PaintNote.h"
#include "TextureFile.h"

#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace PaintArchive {

namespace {

constexpr qsizetype ReadBlock = 64 * 1024;

struct ArchiveCloser
{
    void operator()(archive *a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveCloser>;

QString megabytes(qint64 bytes)
{
    return QStringLiteral("%1 MiB").arg(bytes >> 20);
}

QString entryPath(archive_entry *entry)
{
    if (const char *utf8 = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(utf8);
    if (const char *raw = archive_entry_pathname(entry))
        return QString::fromLocal8Bit(raw);
    return QString();
}

QString lastComponent(const QString &path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(slash + 1);
}

QString notATextureReason(const QString &fileName)
{
    return TextureFile::hasTextureExtension(fileName)
               ? QStringLiteral("its contents are not those of a %1 picture")
                     .arg(fileName.section(u'.', -1).toUpper())
               : QStringLiteral("not a texture");
}

bool openArchive(archive *a, const QString &path)
{
#ifdef Q_OS_WIN
    return archive_read_open_filename_w(a, reinterpret_cast<const wchar_t *>(path.utf16()), ReadBlock)
           == ARCHIVE_OK;
#else
    return archive_read_open_filename(a, QFile::encodeName(path).constData(), ReadBlock) == ARCHIVE_OK;
#endif
}

} // namespace

bool isArchiveFileName(const QString &fileName)
{
    const QString extension = fileName.section(u'.', -1).toLower();
    return fileName.contains(u'.')
           && (extension == u"zip" || extension == u"7z" || extension == u"rar");
}

QString problemWithEntryPath(const QString &path)
{
    if (path.startsWith(u'/') || path.startsWith(u'\\'))
        return QStringLiteral("its path is absolute");
    if (path.size() >= 2 && path.at(1) == u':')
        return QStringLiteral("its path begins with a drive letter");
    const QStringList parts = QString(path).replace(u'\\', u'/').split(u'/');
    if (parts.contains(QStringLiteral("..")))
        return QStringLiteral("its path leads out of its folder (\"..\")");
    for (const QChar c : lastComponent(path)) {
        if (c.unicode() < 32 || QStringLiteral("<>:\"|?*").contains(c))
            return QStringLiteral("its name holds characters Windows does not allow");
    }
    return QString();
}

DownloadContents read(const QString &archivePath, const Limits &limits)
{
    DownloadContents contents;
    const QFileInfo info(archivePath);
    if (!info.isFile()) {
        contents.error = QStringLiteral("The archive %1 does not exist.").arg(archivePath);
        return contents;
    }
    if (info.size() > limits.archiveBytes) {
        contents.error = QStringLiteral("The archive %1 is larger than %2, more than any paint needs.")
                             .arg(archivePath, megabytes(limits.archiveBytes));
        return contents;
    }

    ArchivePtr a(archive_read_new());
    archive_read_support_format_zip(a.get());
    archive_read_support_format_7zip(a.get());
    archive_read_support_format_rar(a.get());
    archive_read_support_format_rar5(a.get());
    if (!openArchive(a.get(), archivePath)) {
        contents.error = QStringLiteral("%1 is not a zip, 7z or rar archive that Corvane can read (%2).")
                             .arg(archivePath, QString::fromLocal8Bit(archive_error_string(a.get())));
        return contents;
    }

    auto refuse = [&](const QString &reason) {
        contents.textures.clear();
        contents.skipped.clear();
        contents.error = QStringLiteral("The archive %1 was refused: %2").arg(archivePath, reason);
        return contents;
    };

    qint64 total = 0;
    int count = 0;
    archive_entry *entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(a.get(), &entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status < ARCHIVE_WARN)
            return refuse(QStringLiteral("it is damaged (%1).")
                              .arg(QString::fromLocal8Bit(archive_error_string(a.get()))));
        if (++count > limits.entries)
            return refuse(QStringLiteral("it holds more than %1 entries.").arg(limits.entries));

        const QString path = entryPath(entry);
        const mode_t type = archive_entry_filetype(entry);
        if (type == AE_IFDIR)
            continue;
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > limits.entryBytes)
            return refuse(QStringLiteral("%1 would unpack to more than %2.").arg(path, megabytes(limits.entryBytes)));

        QString reason;
        const QString fileName = lastComponent(path);
        if (type == AE_IFLNK || archive_entry_hardlink(entry) || archive_entry_symlink(entry))
            reason = QStringLiteral("it is a link");
        else if (type != AE_IFREG)
            reason = QStringLiteral("it is not a file");
        else if (const QString problem = problemWithEntryPath(path); !problem.isEmpty())
            reason = problem;
        else if (archive_entry_is_encrypted(entry))
            reason = QStringLiteral("it is protected by a password");
        const bool isNote = reason.isEmpty() && PaintNote::isNoteFileName(fileName)
                            && archive_entry_size(entry) <= PaintNote::MostBytes;
        if (reason.isEmpty() && !isNote && !TextureFile::hasTextureExtension(fileName))
            reason = notATextureReason(fileName);
        if (!reason.isEmpty()) {
            contents.skipped.append({path, reason});
            continue;
        }

        // Declared sizes can lie: the limit holds for what really comes out.
        QByteArray data;
        char block[ReadBlock];
        for (;;) {
            const la_ssize_t got = archive_read_data(a.get(), block, sizeof block);
            if (got < 0) {
                reason = QStringLiteral("it could not be unpacked (%1)")
                             .arg(QString::fromLocal8Bit(archive_error_string(a.get())));
                break;
            }
            if (got == 0)
                break;
            if (data.size() + got > limits.entryBytes)
                return refuse(QStringLiteral("%1 unpacks to more than %2.").arg(path, megabytes(limits.entryBytes)));
            total += got;
            if (total > limits.totalBytes)
                return refuse(QStringLiteral("its textures unpack to more than %1.").arg(megabytes(limits.totalBytes)));
            data.append(block, got);
        }
        if (reason.isEmpty() && isNote) {
            contents.notes.append({path, PaintNote::decode(data)});
            continue;
        }
        if (reason.isEmpty() && !TextureFile::contentFitsExtension(fileName, data))
            reason = notATextureReason(fileName);
        if (!reason.isEmpty()) {
            contents.skipped.append({path, reason});
            continue;
        }
        contents.textures.append({path, fileName, data});
    }
    return contents;
}

DownloadContents readTextureFile(const QString &path, const Limits &limits)
{
    DownloadContents contents;
    const QFileInfo info(path);
    if (!info.isFile()) {
        contents.error = QStringLiteral("The file %1 does not exist.").arg(path);
        return contents;
    }
    const QString fileName = info.fileName();
    if (!TextureFile::hasTextureExtension(fileName)) {
        contents.skipped.append({path, notATextureReason(fileName)});
        return contents;
    }
    if (info.size() > limits.entryBytes) {
        contents.error = QStringLiteral("The file %1 is larger than %2, more than any texture needs.")
                             .arg(path, megabytes(limits.entryBytes));
        return contents;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.error = QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString());
        return contents;
    }
    QByteArray data = file.read(limits.entryBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        contents.error = QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString());
        return contents;
    }
    if (data.size() > limits.entryBytes) {
        contents.error = QStringLiteral("The file %1 is larger than %2, more than any texture needs.")
                             .arg(path, megabytes(limits.entryBytes));
        return contents;
    }
    if (!TextureFile::contentFitsExtension(fileName, data))
        contents.skipped.append({path, notATextureReason(fileName)});
    else
        contents.textures.append({path, fileName, data});
    return contents;
}

} // namespace PaintArchive
