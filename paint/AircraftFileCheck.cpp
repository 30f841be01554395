#include "AircraftFileCheck.h"

#include "NativePath.h"

#include <QDir>
#include <QFileInfo>

namespace AircraftFileCheck {

namespace {

constexpr Qt::CaseSensitivity pathCase =
#ifdef Q_OS_WIN
    Qt::CaseInsensitive;
#else
    Qt::CaseSensitive;
#endif

bool liesInside(const QString &realPath, const QString &realFolder)
{
    const QString prefix = realFolder.endsWith(u'/') ? realFolder : realFolder + u'/';
    return realPath.size() > prefix.size() && realPath.startsWith(prefix, pathCase);
}

// Named straight inside the folder, not in a subfolder of it: then, unless it
// is a link itself, it really is where the folder really is, and resolving
// every folder above it again (a system call each) would tell nothing new.
bool isStraightIn(const QString &folder, const QString &path)
{
    if (!path.startsWith(folder, pathCase))
        return false;
    const QStringView name = QStringView(path).mid(folder.size());
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(u'\\');
}

FileVerdict refuse(const QString &path, const QString &reason)
{
    FileVerdict verdict;
    verdict.result = PaintResult::failure(path, QDir::toNativeSeparators(path) + u' ' + reason);
    verdict.refusal = reason;
    return verdict;
}

FileVerdict allow(const QString &path, const QString &realPath)
{
    FileVerdict verdict;
    verdict.result = PaintResult::success(path);
    verdict.realPath = realPath;
    return verdict;
}

FileVerdict check(const QString &aircraftFolder, const QString &realFolder, const QString &path, bool mayBeAbsent)
{
    if (aircraftFolder.isEmpty() || realFolder.isEmpty())
        return refuse(path, QStringLiteral("lies in an aircraft folder that cannot be found"));
    if (path.isEmpty())
        return refuse(path, QStringLiteral("has no name"));

    const QFileInfo info(path);
    const bool link = isLink(info);
    if (!info.exists()) {
        if (link)
            return refuse(path, QStringLiteral("is a link to a file that does not exist"));
        if (!mayBeAbsent) {
            FileVerdict verdict = refuse(path, QStringLiteral("does not exist"));
            verdict.absent = true;
            return verdict;
        }
        const bool straightIn = isStraightIn(aircraftFolder, path);
        const QString realParent = straightIn ? realFolder : QFileInfo(info.absolutePath()).canonicalFilePath();
        if (realParent.isEmpty())
            return refuse(path, QStringLiteral("lies in a folder that does not exist"));
        if (realParent.compare(realFolder, pathCase) != 0 && !liesInside(realParent, realFolder))
            return refuse(path, QStringLiteral("lies outside the aircraft folder"));
        return allow(path, QDir(realParent).filePath(info.fileName()));
    }

    const bool straightIn = !link && isStraightIn(aircraftFolder, path);
    const QString realPath = straightIn ? realFolder + u'/' + info.fileName() : info.canonicalFilePath();
    if (!liesInside(realPath, realFolder)) {
        return refuse(path, link ? QStringLiteral("is a link to a file outside the aircraft folder")
                                 : QStringLiteral("lies outside the aircraft folder"));
    }
    // The type of what the path finally names, after every link.
    if (!(straightIn ? info.isFile() : QFileInfo(realPath).isFile()))
        return refuse(path, QStringLiteral("is not a regular file"));

    return allow(path, realPath);
}

} // namespace

Folder::Folder(const QString &aircraftFolder)
    : m_folder(aircraftFolder), m_realFolder(QFileInfo(aircraftFolder).canonicalFilePath())
{
}

Folder::Folder(const Folder &outer, const QString &name)
    : m_folder(NativePath::withTrailingSeparator(outer.m_folder) + name + QDir::separator())
    , m_realFolder(outer.m_realFolder.isEmpty() ? QString() : outer.m_realFolder + u'/' + name)
{
}

FileVerdict Folder::mayRead(const QString &path) const
{
    return check(m_folder, m_realFolder, path, false);
}

FileVerdict Folder::mayWrite(const QString &path) const
{
    return check(m_folder, m_realFolder, path, true);
}

FileVerdict mayRead(const QString &aircraftFolder, const QString &path)
{
    return Folder(aircraftFolder).mayRead(path);
}

FileVerdict mayWrite(const QString &aircraftFolder, const QString &path)
{
    return Folder(aircraftFolder).mayWrite(path);
}

bool folderLiesInside(const QString &outerFolder, const QString &folder)
{
    const QString realOuter = QFileInfo(outerFolder).canonicalFilePath();
    const QString real = QFileInfo(folder).canonicalFilePath();
    return !realOuter.isEmpty() && !real.isEmpty() && liesInside(real, realOuter);
}

bool isLink(const QFileInfo &info)
{
    return info.isSymbolicLink() || info.isJunction();
}

bool entryExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || isLink(info);
}

} // namespace AircraftFileCheck
