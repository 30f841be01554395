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

// A copy refused or cut short: the target concerned, and why.
PaintResult copyChecked(const QString &aircraftFolder, const QString &source, const QString &target,
                        SafeSave::Options options)
{
    const auto fail = [&](const QString &text) { return PaintResult::failure(findGameFile(target), text); };
    const FileVerdict from = AircraftFileCheck::mayRead(aircraftFolder, findGameFile(source));
    if (!from)
        return from.result;
    const QString sourcePath = from.realPath;
    const FileVerdict to = AircraftFileCheck::mayWrite(aircraftFolder, findGameFile(target));
    if (!to)
        return to.result;

    QFile in(sourcePath);
    if (const PaintResult opened = RegularFileOpen::openForReading(in); !opened)
        return PaintResult::failure(findGameFile(source),
                                    QDir::toNativeSeparators(findGameFile(source)) + u' ' + opened.reason);
    SafeSave out(to.realPath, options);
    if (const PaintResult opened = out.open(); !opened)
        return fail(opened.reason);
    if (const PaintResult copied = out.writeFrom(in); !copied)
        return fail(copied.reason);
    if (const PaintResult committed = out.commit(); !committed)
        return fail(committed.reason);
    return PaintResult::success(findGameFile(target));
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
    return RegularFileOpen::canRead(path).ok;
}

PaintResult copyIfAbsent(const QString &aircraftFolder, const QString &source, const QString &target)
{
    const QString existing = findGameFile(target);
    if (AircraftFileCheck::entryExists(existing))
        return PaintResult::failure(existing, QStringLiteral("%1 already exists").arg(QDir::toNativeSeparators(existing)));
    SafeSave::Options keep;
    keep.replaceExisting = false;
    return copyChecked(aircraftFolder, source, target, keep);
}

PaintResult copyReplacing(const QString &aircraftFolder, const QString &source, const QString &target, bool syncNow)
{
    SafeSave::Options options;
    options.syncToDisk = syncNow;
    return copyChecked(aircraftFolder, source, target, options);
}

} // namespace GameFiles
