#include "PaintArchive.h"

#include "PaintNote.h"
#include "PaintRules.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace PaintArchive {

namespace {

constexpr qsizetype ReadBlock = 64 * 1024;
// Enough of a texture's first bytes for its signature and a DDS header with
// its DX10 extension.
constexpr qsizetype HeadBytes = 256;
// Fast and still a cryptographic hash: a changed download cannot pass for
// the one that was planned.
constexpr QCryptographicHash::Algorithm DigestAlgorithm = QCryptographicHash::Blake2b_256;

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

// The library's own words, or the system's when it gave none.
QString archiveReason(archive *a)
{
    if (const char *text = archive_error_string(a); text && *text)
        return QString::fromLocal8Bit(text);
    if (const int code = archive_errno(a); code > 0)
        return QString::fromLocal8Bit(std::strerror(code));
    return QStringLiteral("the archive ends early or its data is malformed");
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

// One texture's bytes on their way: the head held back until the content is
// known to fit the name, then everything to the sink's device, if any.
class TextureStream
{
public:
    TextureStream(DownloadedTexture &texture, TextureSink *sink)
        : m_texture(texture), m_sink(sink), m_hash(DigestAlgorithm)
    {
    }
    ~TextureStream()
    {
        abandon(QStringLiteral("the download was not read to its end"));
    }

    // False once the bytes cannot be a texture of that name.
    bool take(const char *data, qsizetype size)
    {
        m_hash.addData(QByteArrayView(data, size));
        m_texture.size += size;
        if (m_head.size() < HeadBytes) {
            const qsizetype part = std::min(size, HeadBytes - m_head.size());
            m_head.append(data, part);
            if (m_head.size() < HeadBytes)
                return true;
            if (!begin())
                return false;
            return put(m_head) && put(QByteArrayView(data + part, size - part));
        }
        return put(QByteArrayView(data, size));
    }

    // At the end of the data: false when it is no texture of that name.
    bool finish()
    {
        if (m_head.size() < HeadBytes && !(begin() && put(m_head)))
            return false;
        m_texture.digest = m_hash.result();
        m_texture.shape = TextureFile::ddsShape(m_head);
        if (m_open) {
            m_open = false;
            m_sink->close(m_texture, QString());
        }
        return true;
    }

    void abandon(const QString &problem)
    {
        if (m_open) {
            m_open = false;
            m_sink->close(m_texture, problem);
        }
    }

private:
    bool begin()
    {
        if (m_begun)
            return m_fits;
        m_begun = true;
        m_fits = TextureFile::contentFitsExtension(m_texture.fileName, m_head);
        // The head holds a DDS header whole, so a sink may match the texture
        // by its shape before its bytes come.
        m_texture.shape = TextureFile::ddsShape(m_head);
        if (m_fits && m_sink)
            m_open = m_writing = m_sink->open(m_texture);
        return m_fits;
    }

    bool put(QByteArrayView bytes)
    {
        // A sink that refused once gets nothing more; the reading goes on,
        // so the archive's other textures still arrive.
        if (m_writing && !bytes.isEmpty())
            m_writing = m_sink->write(bytes);
        return true;
    }

    DownloadedTexture &m_texture;
    TextureSink *m_sink;
    QCryptographicHash m_hash;
    QByteArray m_head;
    bool m_begun = false;
    bool m_fits = false;
    bool m_open = false;
    bool m_writing = false;
};

} // namespace

qint64 Limits::unpackedLimitFor(qint64 archiveSize) const
{
    const qint64 byRatio = archiveSize > unpackedBytes / std::max<qint64>(unpackedPerByte, 1)
                               ? unpackedBytes
                               : archiveSize * unpackedPerByte;
    return std::min(unpackedBytes, std::max(unpackedFloor, byRatio));
}

bool isArchiveFileName(const QString &fileName)
{
    const QString extension = fileName.section(u'.', -1).toLower();
    return fileName.contains(u'.')
           && (extension == u"zip" || extension == u"7z" || extension == u"rar");
}

QString problemWithEntryPath(const QString &path)
{
    if (const QString problem = PaintRules::problemWithRelativePath(path); !problem.isEmpty())
        return problem;
    const QString name = lastComponent(path);
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringLiteral("<>:\"|?*").contains(c))
            return QStringLiteral("its name holds characters Windows does not allow");
    }
    if (name.contains(QChar::ReplacementCharacter))
        return QStringLiteral("its name cannot be read: it is not in the archive's character set");
    return PaintRules::problemWithWindowsName(name);
}

QString problemWithDownloadFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return QString();
    if (!info.exists() && !info.isSymLink()) {
        // A name the system gave in bytes that are not text cannot be found
        // again from the text Corvane was handed.
        if (path.contains(QChar::ReplacementCharacter))
            return QStringLiteral("its name cannot be read: it is not valid UTF-8; rename the file");
        return QStringLiteral("does not exist");
    }
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("is a link to a file that does not exist");
    if (info.isDir())
        return QStringLiteral("is a folder, not a file");
    return QStringLiteral("is not a regular file (a pipe, socket or device)");
}

namespace {

// A folder inside a download deeper than this is no skin's layout.
constexpr int MostFolderDepth = 16;

ArchivePtr newArchiveReader()
{
    ArchivePtr a(archive_read_new());
    archive_read_support_format_zip(a.get());
    archive_read_support_format_7zip(a.get());
    archive_read_support_format_rar(a.get());
    archive_read_support_format_rar5(a.get());
    return a;
}

// Bytes of one entry, piece by piece: how many were put in the buffer, 0
// at its end, or -1 with the problem.
using Pull = std::function<qint64(char *buffer, qint64 size, QString *problem)>;

// One download read entry by entry: an archive, the archives it holds (one
// level down), or a folder. Every limit counts the whole download together.
class DownloadReader
{
public:
    DownloadReader(const Limits &limits, TextureSink *sink, qint64 unpackedLimit, const QString &sizeText)
        : m_limits(limits), m_sink(sink), m_unpackedLimit(unpackedLimit), m_sizeText(sizeText)
    {
    }

    DownloadContents contents;

    // Each returns why the whole download is refused, or an empty text.
    QString readArchive(archive *a, const QString &prefix, int depth)
    {
        archive_entry *entry = nullptr;
        for (;;) {
            const int status = archive_read_next_header(a, &entry);
            if (status == ARCHIVE_EOF)
                return QString();
            if (status < ARCHIVE_WARN)
                return QStringLiteral("%1is damaged (%2).")
                    .arg(prefix.isEmpty() ? QStringLiteral("it ") : prefix.chopped(1) + u' ', archiveReason(a));
            if (const QString refusal = countEntry(); !refusal.isEmpty())
                return refusal;

            const QString path = prefix + entryPath(entry);
            const mode_t type = archive_entry_filetype(entry);
            if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > m_limits.entryBytes)
                return QStringLiteral("%1 would unpack to more than %2.").arg(path, megabytes(m_limits.entryBytes));

            QString reason;
            if (type == AE_IFDIR)
                reason = QStringLiteral("a folder");
            else if (type == AE_IFLNK || archive_entry_hardlink(entry) || archive_entry_symlink(entry))
                reason = QStringLiteral("it is a link");
            else if (type != AE_IFREG)
                reason = QStringLiteral("it is not a file");
            else if (const QString problem = problemWithEntryPath(entryPath(entry)); !problem.isEmpty())
                reason = problem;
            else if (archive_entry_is_encrypted(entry))
                reason = QStringLiteral("it is protected by a password");
            const Pull pull = [a](char *buffer, qint64 size, QString *problem) -> qint64 {
                const la_ssize_t got = archive_read_data(a, buffer, size_t(size));
                if (got < 0)
                    *problem = archiveReason(a);
                return got;
            };
            if (const QString refusal = takeFile(path, reason, type == AE_IFDIR, pull, depth); !refusal.isEmpty())
                return refusal;
        }
    }

    QString readFolder(const QString &root, const QString &relative, int depth)
    {
        if (depth > MostFolderDepth) {
            contents.skipped.append({relative, QStringLiteral("folders nested deeper than %1").arg(MostFolderDepth)});
            return QString();
        }
        const QDir folder(root + relative);
        const QFileInfoList entries = folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden
                                                               | QDir::System,
                                                           QDir::Name | QDir::IgnoreCase | QDir::DirsLast);
        for (const QFileInfo &info : entries) {
            if (const QString refusal = countEntry(); !refusal.isEmpty())
                return refusal;
            const QString path = relative + info.fileName();
            if (info.isSymLink()) {
                ++m_index;
                contents.skipped.append({path, QStringLiteral("it is a link")});
            } else if (info.isDir()) {
                ++m_index;
                if (const QString refusal = readFolder(root, path + u'/', depth + 1); !refusal.isEmpty())
                    return refusal;
            } else if (!info.isFile()) {
                ++m_index;
                contents.skipped.append({path, QStringLiteral("it is not a file")});
            } else {
                QFile file(info.filePath());
                QString reason = problemWithEntryPath(info.fileName());
                if (reason.isEmpty() && !file.open(QIODevice::ReadOnly))
                    reason = QStringLiteral("it could not be read (%1)").arg(file.errorString());
                const Pull pull = [&file](char *buffer, qint64 size, QString *problem) -> qint64 {
                    if (!file.isOpen())
                        return 0;
                    const qint64 got = file.read(buffer, size);
                    if (got < 0)
                        *problem = file.errorString();
                    return got;
                };
                if (const QString refusal = takeFile(path, reason, false, pull, 0); !refusal.isEmpty())
                    return refusal;
            }
        }
        return QString();
    }

private:
    QString countEntry()
    {
        if (++m_count > m_limits.entries)
            return QStringLiteral("it holds more than %1 entries.").arg(m_limits.entries);
        return QString();
    }

    // Every entry's data is read here, skipped ones too, so that all the
    // work of unpacking is counted as it is done; left to the library, a
    // skipped entry of a solid block is unpacked unseen. `take` gets each
    // piece; the text is why the download is refused, if it is.
    QString readData(const Pull &pull, const QString &path, const std::function<bool(const char *, qsizetype)> &take,
                     QString *readProblem)
    {
        qint64 entrySize = 0;
        for (;;) {
            if (m_limits.progress && m_limits.progress->isCancelled())
                return cancelledReason();
            const qint64 got = pull(m_block, sizeof m_block, readProblem);
            if (got <= 0)
                return QString();
            m_unpacked += got;
            entrySize += got;
            if (m_unpacked > m_unpackedLimit) {
                return QStringLiteral("it unpacks to more than %1 in all (skipped entries included), "
                                      "far more than its %2 of paints could need; an archive like this "
                                      "is made to keep Corvane busy.")
                    .arg(megabytes(m_unpackedLimit), m_sizeText);
            }
            if (entrySize > m_limits.entryBytes)
                return QStringLiteral("%1 unpacks to more than %2.").arg(path, megabytes(m_limits.entryBytes));
            if (take && !take(m_block, got))
                return QString();
        }
    }

    // One file of the download: a texture, a read-me, an archive inside it,
    // or something skipped for `reason`.
    QString takeFile(const QString &path, QString reason, bool isFolder, const Pull &pull, int depth)
    {
        const int index = m_index++;
        const QString fileName = lastComponent(path);
        if (reason.isEmpty() && isArchiveFileName(fileName))
            return takeArchive(path, pull, depth);
        if (reason.isEmpty() && PaintNote::isNoteFileName(fileName))
            return takeNote(path, pull);
        if (reason.isEmpty() && !TextureFile::hasTextureExtension(fileName))
            reason = notATextureReason(fileName);
        if (!reason.isEmpty()) {
            QString ignored; // what cannot be read of a skipped entry does not matter
            if (const QString refusal = readData(pull, path, {}, &ignored); !refusal.isEmpty())
                return refusal;
            if (!isFolder)
                contents.skipped.append({path, reason});
            return QString();
        }

        DownloadedTexture texture{path, fileName, index, 0, {}, std::nullopt};
        bool fits = true;
        QString readProblem;
        {
            TextureStream stream(texture, m_sink);
            QString refusal = readData(pull, path, [&](const char *data, qsizetype size) {
                fits = stream.take(data, size);
                return fits;
            }, &readProblem);
            if (refusal.isEmpty() && (m_texturesTotal += texture.size) > m_limits.totalBytes)
                refusal = QStringLiteral("its textures unpack to more than %1.").arg(megabytes(m_limits.totalBytes));
            if (!refusal.isEmpty()) {
                stream.abandon(QStringLiteral("the download was refused"));
                return refusal;
            }
            if (!readProblem.isEmpty()) {
                stream.abandon(readProblem);
            } else if (fits) {
                fits = stream.finish();
            }
        }
        if (!fits) {
            // The rest of a misnamed entry still counts as work done.
            if (const QString refusal = readData(pull, path, {}, &readProblem); !refusal.isEmpty())
                return refusal;
            contents.skipped.append({path, notATextureReason(fileName)});
        } else if (!readProblem.isEmpty()) {
            contents.skipped.append({path, QStringLiteral("it could not be unpacked (%1)").arg(readProblem)});
        } else {
            contents.textures.append(texture);
        }
        return QString();
    }

    QString takeNote(const QString &path, const Pull &pull)
    {
        QByteArray text;
        qint64 textSize = 0;
        QString noteProblem;
        const QString refusal = readData(pull, path, [&](const char *data, qsizetype size) {
            textSize += size;
            if (textSize <= PaintNote::MostBytes)
                text.append(data, size);
            return true;
        }, &noteProblem);
        if (!refusal.isEmpty())
            return refusal;
        if (textSize > PaintNote::MostBytes)
            contents.skipped.append({path, QStringLiteral("a text of more than %1 KiB, too long for a read-me")
                                               .arg(PaintNote::MostBytes >> 10)});
        else if (!noteProblem.isEmpty())
            contents.skipped.append({path, QStringLiteral("it could not be unpacked (%1)").arg(noteProblem)});
        else
            contents.notes.append({path, PaintNote::decode(text)});
        return QString();
    }

    // Packs of skins are archives of archives: one level down is opened, in
    // memory, within the same limits.
    QString takeArchive(const QString &path, const Pull &pull, int depth)
    {
        QByteArray data;
        QString readProblem;
        const QString refusal = readData(pull, path, [&](const char *bytes, qsizetype size) {
            if (depth == 0)
                data.append(bytes, size);
            return true;
        }, &readProblem);
        if (!refusal.isEmpty())
            return refusal;
        if (depth > 0) {
            contents.skipped.append({path, QStringLiteral("an archive inside an archive inside the download; unpack it first")});
            return QString();
        }
        if (!readProblem.isEmpty()) {
            contents.skipped.append({path, QStringLiteral("it could not be unpacked (%1)").arg(readProblem)});
            return QString();
        }
        ArchivePtr inner = newArchiveReader();
        if (archive_read_open_memory(inner.get(), data.constData(), size_t(data.size())) != ARCHIVE_OK) {
            contents.skipped.append({path, QStringLiteral("not a zip, 7z or rar archive that Corvane can read (%1)")
                                               .arg(archiveReason(inner.get()))});
            return QString();
        }
        return readArchive(inner.get(), path + u'/', depth + 1);
    }

    const Limits &m_limits;
    TextureSink *m_sink;
    qint64 m_unpackedLimit;
    QString m_sizeText;
    qint64 m_unpacked = 0;
    qint64 m_texturesTotal = 0;
    int m_count = 0;
    int m_index = 0;
    char m_block[ReadBlock];
};

DownloadContents refused(const QString &what, const QString &path, const QString &reason)
{
    DownloadContents contents;
    contents.result = PaintResult::failure(path, QStringLiteral("The %1 %2 was refused: %3").arg(what, path, reason));
    return contents;
}

} // namespace

DownloadContents read(const QString &archivePath, const Limits &limits, TextureSink *sink)
{
    DownloadContents contents;
    if (const QString problem = problemWithDownloadFile(archivePath); !problem.isEmpty()) {
        contents.result = PaintResult::failure(archivePath, QStringLiteral("The archive %1 %2.").arg(archivePath, problem));
        return contents;
    }
    const qint64 archiveSize = QFileInfo(archivePath).size();
    if (archiveSize > limits.archiveBytes) {
        contents.result = PaintResult::failure(archivePath,
                                               QStringLiteral("The archive %1 is larger than %2, more than any paint needs.")
                                                   .arg(archivePath, megabytes(limits.archiveBytes)));
        return contents;
    }

    ArchivePtr a = newArchiveReader();
    if (!openArchive(a.get(), archivePath)) {
        contents.result = PaintResult::failure(archivePath,
                                               QStringLiteral("%1 is not a zip, 7z or rar archive that Corvane can read (%2).")
                                                   .arg(archivePath, archiveReason(a.get())));
        return contents;
    }
    DownloadReader reader(limits, sink, limits.unpackedLimitFor(archiveSize),
                          QStringLiteral("%1 KiB").arg(archiveSize >> 10));
    if (const QString refusal = reader.readArchive(a.get(), QString(), 0); !refusal.isEmpty())
        return refused(QStringLiteral("archive"), archivePath, refusal);
    return reader.contents;
}

DownloadContents readFolder(const QString &folderPath, const Limits &limits, TextureSink *sink)
{
    DownloadReader reader(limits, sink, limits.unpackedBytes, QStringLiteral("folder"));
    const QString root = QDir(folderPath).absolutePath() + u'/';
    if (const QString refusal = reader.readFolder(root, QString(), 0); !refusal.isEmpty())
        return refused(QStringLiteral("folder"), folderPath, refusal);
    if (reader.contents.textures.isEmpty() && reader.contents.skipped.isEmpty() && reader.contents.notes.isEmpty())
        reader.contents.result = PaintResult::failure(folderPath, QStringLiteral("The folder %1 holds no files.").arg(folderPath));
    return reader.contents;
}

DownloadContents readTextureFile(const QString &path, const Limits &limits, TextureSink *sink)
{
    DownloadContents contents;
    if (const QString problem = problemWithDownloadFile(path); !problem.isEmpty()) {
        contents.result = PaintResult::failure(path, QStringLiteral("The file %1 %2.").arg(path, problem));
        return contents;
    }
    const QFileInfo info(path);
    const QString fileName = info.fileName();
    if (!TextureFile::hasTextureExtension(fileName)) {
        contents.skipped.append({path, notATextureReason(fileName)});
        return contents;
    }
    if (const QString problem = PaintRules::problemWithWindowsName(fileName); !problem.isEmpty()) {
        contents.skipped.append({path, problem});
        return contents;
    }
    auto tooBig = [&] {
        contents.result = PaintResult::failure(path, QStringLiteral("The file %1 is larger than %2, more than any texture needs.")
                                                         .arg(path, megabytes(limits.entryBytes)));
        return contents;
    };
    if (info.size() > limits.entryBytes)
        return tooBig();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.result = PaintResult::failure(path, QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString()));
        return contents;
    }

    DownloadedTexture texture{path, fileName, 0, 0, {}, std::nullopt};
    bool fits = true;
    {
        TextureStream stream(texture, sink);
        char block[ReadBlock];
        for (;;) {
            const qint64 got = file.read(block, sizeof block);
            if (got < 0) {
                stream.abandon(file.errorString());
                contents.result = PaintResult::failure(path, QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString()));
                return contents;
            }
            if (got == 0)
                break;
            // Read with the limit too: the file may have grown since it was measured.
            if (texture.size + got > limits.entryBytes) {
                stream.abandon(QStringLiteral("the file is too large"));
                return tooBig();
            }
            if (!(fits = stream.take(block, got)))
                break;
        }
        if (fits)
            fits = stream.finish();
    }
    if (!fits)
        contents.skipped.append({path, notATextureReason(fileName)});
    else
        contents.textures.append(texture);
    return contents;
}

QByteArray digestOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(DigestAlgorithm);
    if (!hash.addData(&file) || file.error() != QFileDevice::NoError)
        return QByteArray();
    return hash.result();
}

DownloadContents readDownload(const QString &path, const Limits &limits, TextureSink *sink)
{
    if (QFileInfo(path).isDir())
        return readFolder(path, limits, sink);
    return isArchiveFileName(QFileInfo(path).fileName()) ? read(path, limits, sink)
                                                          : readTextureFile(path, limits, sink);
}

} // namespace PaintArchive
