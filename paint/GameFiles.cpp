#include "GameFiles.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

namespace GameFiles {

namespace {

constexpr qint64 CopyBlockSize = 256 * 1024;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Streams the whole of source into target; false on any read or write error.
bool copyContents(QFile &source, QFileDevice &target, QString *error)
{
    QByteArray block;
    for (;;) {
        block = source.read(CopyBlockSize);
        if (block.isEmpty()) {
            if (source.error() != QFileDevice::NoError) {
                setError(error, source.errorString());
                return false;
            }
            return true;
        }
        if (target.write(block) != block.size()) {
            setError(error, target.errorString());
            return false;
        }
    }
}

} // namespace

QString findGameFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return path;
#ifdef Q_OS_WIN
    return path; // the file system already ignores letter case
#else
    const QString name = info.fileName();
    if (name.isEmpty())
        return path;
    const QString folder = path.left(path.size() - name.size());
    QString match;
    QDirIterator it(folder.isEmpty() ? QStringLiteral(".") : folder,
                    QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString candidate = it.nextFileInfo().fileName();
        // Several spellings may exist side by side here, unlike on Windows;
        // take the same one every time.
        if (candidate.compare(name, Qt::CaseInsensitive) == 0
            && (match.isNull() || candidate < match))
            match = candidate;
    }
    return match.isNull() ? path : folder + match;
#endif
}

bool canOpenForReading(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

bool copyIfAbsent(const QString &source, const QString &target, QString *error)
{
    if (QFileInfo::exists(findGameFile(target))) {
        setError(error, QStringLiteral("%1 already exists").arg(target));
        return false;
    }
    QFile in(findGameFile(source));
    if (!in.open(QIODevice::ReadOnly)) {
        setError(error, in.errorString());
        return false;
    }
    const QFileInfo targetInfo(target);
    QTemporaryFile copy(targetInfo.path() + QStringLiteral("/.") + targetInfo.fileName()
                        + QStringLiteral(".XXXXXX"));
    if (!copy.open()) {
        setError(error, copy.errorString());
        return false;
    }
    if (!copyContents(in, copy, error))
        return false;
    if (!copy.flush()) {
        setError(error, copy.errorString());
        return false;
    }
    copy.setPermissions(in.permissions());
    // The rename refuses to replace a file, so a backup that appeared
    // meanwhile is kept and this copy is thrown away. (Renamed by name: the
    // temporary file may have none of its own until asked for one.)
    const QString copyName = copy.fileName();
    copy.close();
    QFile renamed(copyName);
    if (!renamed.rename(target)) {
        setError(error, renamed.errorString());
        return false;
    }
    copy.setAutoRemove(false);
    return true;
}

bool copyReplacing(const QString &source, const QString &target, QString *error)
{
    QFile in(findGameFile(source));
    if (!in.open(QIODevice::ReadOnly)) {
        setError(error, in.errorString());
        return false;
    }
    QSaveFile out(findGameFile(target));
    if (!out.open(QIODevice::WriteOnly)) {
        setError(error, out.errorString());
        return false;
    }
    if (!copyContents(in, out, error)) {
        out.cancelWriting();
        return false;
    }
    // commit() misses a write error that only shows when the buffer is
    // flushed (a full disk), so flush first.
    if (!out.flush()) {
        setError(error, out.errorString());
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        setError(error, out.errorString());
        return false;
    }
    return true;
}

} // namespace GameFiles
