#pragma once

#include "PaintResult.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QFileDevice;
class QIODevice;
class QTemporaryFile;

// The one way a file of the player's is written: into a temporary file in the
// same folder, flushed and synced, then renamed into place. The file is thus
// always either the old one or the whole new one, and a full disk or a
// refused write leaves the old one as it was, with no temporary file behind.
//
// The path is taken as it is: the rename replaces whatever entry has that
// name (a link itself, never the link's target), so callers that want a link
// to keep working pass the link's real path.
class SafeSave
{
public:
    struct Options
    {
        // When false, an existing file (or link) at the path is never
        // replaced and commit() fails instead.
        bool replaceExisting = true;
        // When false, the data is not forced to the disk before the rename;
        // for a caller that writes many files and syncs once at the end.
        bool syncToDisk = true;
    };

    explicit SafeSave(const QString &path);
    SafeSave(const QString &path, Options options);
    ~SafeSave(); // an uncommitted temporary file is removed
    SafeSave(const SafeSave &) = delete;
    SafeSave &operator=(const SafeSave &) = delete;

    // Each step: success, or the file and the system's own reason ("No space
    // left on device"), or a plain one of ours; a failed step discards the
    // temporary file.
    PaintResult open();
    // Where the contents go, once open() succeeded.
    QIODevice *device();
    PaintResult write(const QByteArray &data);
    // Appends the rest of an open file, copied by the system where it can
    // (nothing read from it through Qt yet).
    PaintResult writeFrom(QFileDevice &source);
    // Ends the writing without putting the file in place: the data is
    // flushed (and synced, per the options) and the temporary file closed,
    // so that many files may wait for their commit without holding a
    // handle each. An uncommitted one is still removed by discard().
    PaintResult close();
    // The name the file takes at commit, for a file whose name is decided
    // only once its content is written; it must lie in the same folder.
    void setPath(const QString &path) { m_path = path; }
    QString path() const { return m_path; }
    PaintResult commit();
    void discard();

    // Temporary files carry a name of their own ("." then "corvane-", six
    // letters or digits, ".tmp"), so that those left behind by a writer that
    // was killed can be told from the player's files and removed.
    static QString temporaryNamePattern();
    static bool isTemporaryName(const QString &fileName);

    // The whole job in one call; a failure gives the system's reason alone,
    // for the caller to word with what the file is.
    static PaintResult writeFile(const QString &path, const QByteArray &data);
    static PaintResult writeFile(const QString &path, const QByteArray &data, Options options);

private:
    PaintResult fail(const QString &reason);
    PaintResult failNotOpen();
    PaintResult putInPlace(const QString &temporaryName);
    void startWriting();
    void startWritingWhenDue();

    QString m_path;
    Options m_options;
    std::unique_ptr<QTemporaryFile> m_file;
    QString m_closedName; // the temporary file after close(), until its commit
    qint64 m_written = 0;
    qint64 m_writingStarted = 0; // bytes the disk was asked to take while writing went on
    QString m_error;
};
