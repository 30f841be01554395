#include "GameFiles.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>

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

#ifndef Q_OS_WIN
namespace {

// The entry of folder whose name differs from name only in letter case.
// Several spellings may exist side by side here, unlike on Windows; take the
// same one every time.
QString findInFolder(const QString &folder, const QString &name, QDir::Filters kinds)
{
    QString match;
    QDirIterator it(folder.isEmpty() ? QStringLiteral(".") : folder,
                    kinds | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString candidate = it.nextFileInfo().fileName();
        if (candidate.compare(name, Qt::CaseInsensitive) == 0
            && (match.isNull() || candidate < match))
            match = candidate;
    }
    return match;
}

// path without a trailing separator; its last part is looked for among the
// given kinds of entries, the parts before it among folders.
QString resolveLetterCase(const QString &path, QDir::Filters kinds)
{
    if (QFileInfo::exists(path))
        return path;
    const qsizetype cut = path.lastIndexOf(u'/');
    const QString name = path.mid(cut + 1);
    if (name.isEmpty() || name == u'.' || name == QLatin1StringView(".."))
        return path;
    QString folder = path.left(cut + 1);
    if (folder.size() > 1)
        folder = resolveLetterCase(folder.chopped(1), QDir::Dirs) + u'/';
    const QString match = findInFolder(folder, name, kinds);
    return folder + (match.isNull() ? name : match);
}

} // namespace
#endif

QString findGameFile(const QString &path)
{
#ifdef Q_OS_WIN
    return path; // the file system already ignores letter case
#else
    if (path.endsWith(u'/'))
        return path.size() == 1 ? path : resolveLetterCase(path.chopped(1), QDir::Dirs) + u'/';
    return resolveLetterCase(path, QDir::Files);
#endif
}

bool listsBefore(const QString &a, const QString &b)
{
    // NTFS keeps names in the order of their upper-case forms, one UTF-16
    // unit at a time. Equal forms (two spellings side by side, possible only
    // here) fall back to the exact names, so the order never depends on the
    // file system's listing.
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t upperA = a.at(i).toUpper().unicode();
        const char16_t upperB = b.at(i).toUpper().unicode();
        if (upperA != upperB)
            return upperA < upperB;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

void sortAsListed(QStringList &names)
{
    std::sort(names.begin(), names.end(), listsBefore);
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
