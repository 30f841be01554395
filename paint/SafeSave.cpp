#include "SafeSave.h"

#include "DiskSync.h"
#include "FileContentCopy.h"
#include "NoReplaceRename.h"
#include "ReplacingRename.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cerrno>
#include <utility>

namespace {

// A new file gets what files made by hand get.
constexpr qint64 WritingStep = 8 << 20;

constexpr QFileDevice::Permissions newFilePermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
    | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;

} // namespace

QString SafeSave::temporaryNamePattern()
{
    // Not made from the file's own name: a name as long as the file system
    // allows must still leave room for it.
    return QStringLiteral(".corvane-XXXXXX.tmp");
}

bool SafeSave::isTemporaryName(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.corvane-[A-Za-z0-9]{6}\\.tmp$"));
    return pattern.match(fileName).hasMatch();
}

SafeSave::SafeSave(const QString &path)
    : SafeSave(path, Options())
{
}

SafeSave::SafeSave(const QString &path, Options options)
    : m_path(path)
    , m_options(options)
{
}

SafeSave::~SafeSave()
{
    discard();
}

PaintResult SafeSave::fail(const QString &reason)
{
    m_error = reason.isEmpty() ? QStringLiteral("Unknown error") : reason;
    discard();
    return PaintResult::failure(m_path, m_error);
}

PaintResult SafeSave::open()
{
    discard();
    m_error.clear();
    if (m_path.isEmpty())
        return fail(QStringLiteral("No file name was given"));
    // The rename would replace the link itself; a caller that wants the link
    // kept passes its real path.
    if (QFileInfo(m_path).isSymLink())
        return fail(QStringLiteral("is a link; only a file itself is written"));
    const QFileInfo target(m_path);
    auto file = std::make_unique<QTemporaryFile>(target.absolutePath() + u'/' + temporaryNamePattern());
    if (!file->open())
        return fail(file->errorString());
    // Asked for now: the system may have made the file without a name,
    // and the rename needs one.
    if (file->fileName().isEmpty())
        return fail(QStringLiteral("The temporary file got no name"));
    m_file = std::move(file);
    m_written = m_writingStarted = 0;
    return PaintResult::success(m_path);
}

QIODevice *SafeSave::device()
{
    return m_file.get();
}

PaintResult SafeSave::write(const QByteArray &data)
{
    if (!m_file)
        return failNotOpen();
    // A write the disk takes only in part is reported by Qt without a
    // reason; writing on until the system refuses brings its reason out.
    const char *next = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const qint64 written = m_file->write(next, left);
        if (written <= 0)
            return fail(m_file->errorString());
        next += written;
        left -= written;
        m_written += written;
    }
    startWritingWhenDue();
    return PaintResult::success(m_path);
}

PaintResult SafeSave::writeFrom(QFileDevice &source)
{
    if (!m_file)
        return failNotOpen();
    // The copy goes on at the system's position, past Qt's buffer.
    if (!m_file->flush())
        return fail(m_file->errorString());
    qint64 copied = 0;
    const PaintResult result = FileContentCopy::copy(source, *m_file, &copied);
    m_written += copied;
    if (!result) {
        PaintResult failed = fail(result.reason);
        failed.file = result.file; // a read error is the source's
        return failed;
    }
    // Qt learns where the system's position is, for anything written after.
    if (!m_file->seek(m_written))
        return fail(m_file->errorString());
    startWritingWhenDue();
    return PaintResult::success(m_path);
}

PaintResult SafeSave::failNotOpen()
{
    return fail(m_error.isEmpty() ? QStringLiteral("The file is not open") : m_error);
}

// Unsynced, a large file is handed to the disk as it grows, so the one sync
// its writer makes at the end does not wait for all of it.
void SafeSave::startWritingWhenDue()
{
    if (!m_options.syncToDisk && m_written - m_writingStarted >= WritingStep)
        startWriting();
}

void SafeSave::startWriting()
{
    if (m_file->flush()) {
        DiskSync::startWriting(*m_file, m_writingStarted, m_written - m_writingStarted);
        m_writingStarted = m_written;
    }
}

PaintResult SafeSave::close()
{
    if (!m_file)
        return failNotOpen();
    // Qt keeps written data in its own buffer, and a full disk shows only
    // when that is flushed: so flush and check here.
    if (m_file->error() != QFileDevice::NoError)
        return fail(m_file->errorString());
    if (!m_file->flush()) {
        // A temporary file's failed flush comes without Qt's reason; the
        // system still holds it.
        const int systemError = errno;
        const QString reason = m_file->errorString();
        return fail(reason.isEmpty() || reason == QLatin1StringView("Unknown error") ? qt_error_string(systemError)
                                                                                     : reason);
    }
    if (m_options.syncToDisk) {
        if (const PaintResult synced = DiskSync::syncFile(*m_file); !synced)
            return fail(synced.reason);
    }
    // Only the tail of a file already handed over in steps: starting a
    // write of each of many small files would cost more than the one sync.
    if (!m_options.syncToDisk && m_writingStarted > 0 && m_written > m_writingStarted)
        DiskSync::startWriting(*m_file, m_writingStarted, m_written - m_writingStarted);
    // QTemporaryFile holds its handle through close() until it is
    // destroyed, and Windows refuses to rename a file still open: so it
    // goes first, leaving its file for the rename.
    m_closedName = m_file->fileName();
    m_file->setAutoRemove(false);
    m_file.reset();
    return PaintResult::success(m_path);
}

PaintResult SafeSave::commit()
{
    if (m_file) {
        if (const PaintResult closed = close(); !closed)
            return closed;
    }
    if (m_closedName.isEmpty())
        return failNotOpen();
    const QString temporaryName = std::exchange(m_closedName, QString());
    const PaintResult placed = putInPlace(temporaryName);
    if (!placed)
        QFile::remove(temporaryName);
    return placed;
}

PaintResult SafeSave::putInPlace(const QString &temporaryName)
{
    const QFileInfo target(m_path);
    // A rename to another folder could cross file systems, and would not
    // be the atomic step every reader relies on.
    if (target.absolutePath() != QFileInfo(temporaryName).absolutePath())
        return fail(QStringLiteral("is not in the folder it was written in"));
    // A replaced file keeps its permissions; a new one gets what files made
    // by hand get.
    QFile::setPermissions(temporaryName, m_options.replaceExisting && target.exists() ? target.permissions()
                                                                                      : newFilePermissions);
    // Not QFile::rename: it creates the file a link leading nowhere points
    // at, and never replaces.
    const PaintResult renamed = m_options.replaceExisting ? ReplacingRename::rename(temporaryName, m_path)
                                                          : NoReplaceRename::rename(temporaryName, m_path);
    if (!renamed)
        return fail(renamed.reason);
    if (m_options.syncToDisk)
        DiskSync::syncFolder(target.absolutePath());
    return PaintResult::success(m_path);
}

void SafeSave::discard()
{
    // An open temporary file removes itself; a closed one is ours to remove.
    m_file.reset();
    if (!m_closedName.isEmpty())
        QFile::remove(std::exchange(m_closedName, QString()));
}

PaintResult SafeSave::writeFile(const QString &path, const QByteArray &data)
{
    return writeFile(path, data, Options());
}

PaintResult SafeSave::writeFile(const QString &path, const QByteArray &data, Options options)
{
    SafeSave save(path, options);
    PaintResult saved = save.open();
    if (saved)
        saved = save.write(data);
    if (saved)
        saved = save.commit();
    return saved;
}
