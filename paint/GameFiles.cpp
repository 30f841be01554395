#include "GameFiles.h"

#include "AircraftFileCheck.h"
#include "RegularFileOpen.h"
#include "SafeSave.h"
#include "StoredName.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace GameFiles {

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool copyChecked(const QString &aircraftFolder, const QString &source, const QString &target,
                 SafeSave::Options options, QString *error)
{
    const FileVerdict from = AircraftFileCheck::mayRead(aircraftFolder, findGameFile(source));
    if (!from)
        return fail(error, from.message());
    const QString sourcePath = from.realPath;
    const FileVerdict to = AircraftFileCheck::mayWrite(aircraftFolder, findGameFile(target));
    if (!to)
        return fail(error, to.message());

    QFile in(sourcePath);
    QString reason;
    if (!RegularFileOpen::openForReading(in, &reason))
        return fail(error, QDir::toNativeSeparators(findGameFile(source)) + u' ' + reason);
    SafeSave out(to.realPath, options);
    if (!out.open())
        return fail(error, out.errorString());
    if (!out.writeFrom(in) || !out.commit())
        return fail(error, out.errorString());
    return true;
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
    // A link counts as there even when it leads nowhere: a file created at
    // its name would land wherever it points.
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
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
    return StoredName::spelledAsStored(path); // the file system itself ignores letter case
#else
    if (path.endsWith(u'/'))
        return path.size() == 1 ? path : resolveLetterCase(path.chopped(1), QDir::Dirs) + u'/';
    return resolveLetterCase(path, QDir::AllEntries);
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
    return RegularFileOpen::canRead(path);
}

bool copyIfAbsent(const QString &aircraftFolder, const QString &source, const QString &target,
                  QString *error)
{
    if (AircraftFileCheck::entryExists(findGameFile(target)))
        return fail(error, QStringLiteral("%1 already exists").arg(QDir::toNativeSeparators(findGameFile(target))));
    SafeSave::Options keep;
    keep.replaceExisting = false;
    return copyChecked(aircraftFolder, source, target, keep, error);
}

bool copyReplacing(const QString &aircraftFolder, const QString &source, const QString &target,
                   QString *error, bool syncNow)
{
    SafeSave::Options options;
    options.syncToDisk = syncNow;
    return copyChecked(aircraftFolder, source, target, options, error);
}

} // namespace GameFiles
