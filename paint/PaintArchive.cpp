#include "PaintArchive.h"

#include "PaintNote.h"
#include "PaintRules.h"

#include <QCryptographicHash>
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
    if (path.startsWith(u'/') || path.startsWith(u'\\'))
        return QStringLiteral("its path is absolute");
    if (path.size() >= 2 && path.at(1) == u':')
        return QStringLiteral("its path begins with a drive letter");
    const QStringList parts = QString(path).replace(u'\\', u'/').split(u'/');
    if (parts.contains(QStringLiteral("..")))
        return QStringLiteral("its path leads out of its folder (\"..\")");
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

DownloadContents read(const QString &archivePath, const Limits &limits, TextureSink *sink)
{
    DownloadContents contents;
    if (const QString problem = problemWithDownloadFile(archivePath); !problem.isEmpty()) {
        contents.error = QStringLiteral("The archive %1 %2.").arg(archivePath, problem);
        return contents;
    }
    const qint64 archiveSize = QFileInfo(archivePath).size();
    if (archiveSize > limits.archiveBytes) {
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
                             .arg(archivePath, archiveReason(a.get()));
        return contents;
    }

    auto refuse = [&](const QString &reason) {
        contents.textures.clear();
        contents.skipped.clear();
        contents.notes.clear();
        contents.error = QStringLiteral("The archive %1 was refused: %2").arg(archivePath, reason);
        return contents;
    };

    const qint64 unpackedLimit = limits.unpackedLimitFor(archiveSize);
    qint64 unpacked = 0;
    qint64 texturesTotal = 0;
    int count = 0;
    char block[ReadBlock];
    // Every entry's data is read here, skipped ones too, so that all the
    // work of unpacking is counted as it is done; left to the library, a
    // skipped entry of a solid block is unpacked unseen. `take` gets each
    // piece; the text is why the archive is refused, if it is.
    auto readData = [&](const QString &path, const std::function<bool(const char *, qsizetype)> &take,
                        QString *readProblem) -> QString {
        qint64 entrySize = 0;
        for (;;) {
            const la_ssize_t got = archive_read_data(a.get(), block, sizeof block);
            if (got < 0) {
                *readProblem = archiveReason(a.get());
                return QString();
            }
            if (got == 0)
                return QString();
            unpacked += got;
            entrySize += got;
            if (unpacked > unpackedLimit) {
                return QStringLiteral("it unpacks to more than %1 in all (skipped entries included), "
                                      "far more than its %2 of paints could need; an archive like this "
                                      "is made to keep Corvane busy.")
                    .arg(megabytes(unpackedLimit), QStringLiteral("%1 KiB").arg(archiveSize >> 10));
            }
            if (entrySize > limits.entryBytes)
                return QStringLiteral("%1 unpacks to more than %2.").arg(path, megabytes(limits.entryBytes));
            if (take && !take(block, got))
                return QString();
        }
    };

    archive_entry *entry = nullptr;
    for (int index = 0;; ++index) {
        const int status = archive_read_next_header(a.get(), &entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status < ARCHIVE_WARN)
            return refuse(QStringLiteral("it is damaged (%1).").arg(archiveReason(a.get())));
        if (++count > limits.entries)
            return refuse(QStringLiteral("it holds more than %1 entries.").arg(limits.entries));

        const QString path = entryPath(entry);
        const mode_t type = archive_entry_filetype(entry);
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > limits.entryBytes)
            return refuse(QStringLiteral("%1 would unpack to more than %2.").arg(path, megabytes(limits.entryBytes)));

        QString reason;
        const QString fileName = lastComponent(path);
        if (type == AE_IFDIR)
            reason = QStringLiteral("a folder");
        else if (type == AE_IFLNK || archive_entry_hardlink(entry) || archive_entry_symlink(entry))
            reason = QStringLiteral("it is a link");
        else if (type != AE_IFREG)
            reason = QStringLiteral("it is not a file");
        else if (const QString problem = problemWithEntryPath(path); !problem.isEmpty())
            reason = problem;
        else if (!TextureFile::hasTextureExtension(fileName))
            reason = notATextureReason(fileName);
        else if (archive_entry_is_encrypted(entry))
            reason = QStringLiteral("it is protected by a password");
        if (type == AE_IFREG && PaintNote::isNoteFileName(fileName) && reason == notATextureReason(fileName)
            && !archive_entry_is_encrypted(entry)) {
            QByteArray text;
            qint64 textSize = 0;
            QString noteProblem;
            const QString refusal = readData(path, [&](const char *data, qsizetype size) {
                textSize += size;
                if (textSize <= PaintNote::MostBytes)
                    text.append(data, size);
                return true;
            }, &noteProblem);
            if (!refusal.isEmpty())
                return refuse(refusal);
            if (textSize > PaintNote::MostBytes)
                contents.skipped.append({path, QStringLiteral("a text of more than %1 KiB, too long for a read-me")
                                                   .arg(PaintNote::MostBytes >> 10)});
            else if (!noteProblem.isEmpty())
                contents.skipped.append({path, QStringLiteral("it could not be unpacked (%1)").arg(noteProblem)});
            else
                contents.notes.append({path, PaintNote::decode(text)});
            continue;
        }
        if (!reason.isEmpty()) {
            QString ignored; // what cannot be read of a skipped entry does not matter
            if (const QString refusal = readData(path, {}, &ignored); !refusal.isEmpty())
                return refuse(refusal);
            if (type != AE_IFDIR)
                contents.skipped.append({path, reason});
            continue;
        }

        DownloadedTexture texture{path, fileName, index, 0, {}, std::nullopt};
        bool fits = true;
        QString readProblem;
        {
            TextureStream stream(texture, sink);
            QString refusal = readData(path, [&](const char *data, qsizetype size) {
                fits = stream.take(data, size);
                return fits;
            }, &readProblem);
            if (refusal.isEmpty() && (texturesTotal += texture.size) > limits.totalBytes)
                refusal = QStringLiteral("its textures unpack to more than %1.").arg(megabytes(limits.totalBytes));
            if (!refusal.isEmpty()) {
                stream.abandon(QStringLiteral("the download was refused"));
                return refuse(refusal);
            }
            if (!readProblem.isEmpty()) {
                stream.abandon(readProblem);
            } else if (fits) {
                fits = stream.finish();
            }
        }
        if (!fits) {
            // The rest of a misnamed entry still counts as work done.
            if (const QString refusal = readData(path, {}, &readProblem); !refusal.isEmpty())
                return refuse(refusal);
            contents.skipped.append({path, notATextureReason(fileName)});
        } else if (!readProblem.isEmpty()) {
            contents.skipped.append({path, QStringLiteral("it could not be unpacked (%1)").arg(readProblem)});
        } else {
            contents.textures.append(texture);
        }
    }
    return contents;
}

DownloadContents readTextureFile(const QString &path, const Limits &limits, TextureSink *sink)
{
    DownloadContents contents;
    if (const QString problem = problemWithDownloadFile(path); !problem.isEmpty()) {
        contents.error = QStringLiteral("The file %1 %2.").arg(path, problem);
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
        contents.error = QStringLiteral("The file %1 is larger than %2, more than any texture needs.")
                             .arg(path, megabytes(limits.entryBytes));
        return contents;
    };
    if (info.size() > limits.entryBytes)
        return tooBig();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.error = QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString());
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
                contents.error = QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString());
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
    return isArchiveFileName(QFileInfo(path).fileName()) ? read(path, limits, sink)
                                                          : readTextureFile(path, limits, sink);
}

} // namespace PaintArchive
