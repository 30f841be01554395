#include "PaintSetStore.h"

#include "GameFiles.h"
#include "NativePath.h"
#include "PaintSetFile.h"
#include "SafeSave.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString Extension = QStringLiteral(".json");

PaintResult noSuchSet(const QString &name)
{
    return PaintResult::failure(QString(), QStringLiteral("There is no paint set called \"%1\".").arg(name));
}

} // namespace

QString PaintSetStore::defaultFolder()
{
    // A folder of its own for a portable install on a stick, and for tests,
    // which must never touch the player's sets.
    if (const QString given = qEnvironmentVariable("CORVANE_SETS_FOLDER"); !given.isEmpty())
        return NativePath::withTrailingSeparator(given);
    // Both programs are called "Corvane" (the command line names itself so),
    // so the window and the command line share the user's sets.
    return NativePath::withTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                             + QStringLiteral("/sets"));
}

PaintSetStore::PaintSetStore(const QString &folder)
    : m_folder(NativePath::withTrailingSeparator(folder))
{
}

QString PaintSetStore::pathFor(const QString &name) const
{
    return m_folder + name + Extension;
}

QString PaintSetStore::fileOf(const QString &name) const
{
    if (!PaintSetFile::problemWithName(name).isEmpty())
        return QString();
    const QString found = GameFiles::findGameFile(pathFor(name));
    return QFileInfo(found).isFile() ? found : QString();
}

QStringList PaintSetStore::names(QList<PaintResult> *problems) const
{
    QStringList names;
    const QFileInfoList files = QDir(m_folder).entryInfoList({QStringLiteral("*") + Extension},
                                                             QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QFileInfo &file : files) {
        if (SafeSave::isTemporaryName(file.fileName()))
            continue;
        const QString name = file.fileName().chopped(Extension.size());
        QString problem = PaintSetFile::problemWithName(name);
        if (PaintSet set; problem.isEmpty())
            problem = PaintSetFile::read(file.filePath(), set).reason;
        if (problem.isEmpty())
            names << name;
        else if (problems)
            *problems << PaintResult::failure(file.filePath(), problem);
    }
    GameFiles::sortAsListed(names);
    return names;
}

PaintResult PaintSetStore::load(const QString &name, PaintSet &set) const
{
    const QString path = fileOf(name);
    if (path.isEmpty())
        return noSuchSet(name);
    PaintSet read;
    if (const PaintResult result = PaintSetFile::read(path, read); !result)
        return result;
    // The file's name is the set's name; the one inside may be stale after a
    // rename by hand.
    read.name = QFileInfo(path).fileName().chopped(Extension.size());
    set = std::move(read);
    return PaintResult::success(path);
}

namespace {
// A file system that ignores letter case may refuse a rename that changes
// only the case, or report it done and keep the old spelling, so
// the file goes through a name of its own.
bool renameSpelling(const QString &from, const QString &to)
{
    const QString step = from + QStringLiteral(".respelled");
    if (!QFile::rename(from, step))
        return false;
    if (QFile::rename(step, to))
        return true;
    QFile::rename(step, from);
    return false;
}
} // namespace

PaintResult PaintSetStore::write(const PaintSet &set, bool replace)
{
    if (const QString problem = PaintSetFile::problemWithName(set.name); !problem.isEmpty())
        return PaintResult::failure(QString(), problem);
    if (!QDir().mkpath(m_folder))
        return PaintResult::failure(m_folder, QStringLiteral("The folder for paint sets could not be made."));
    const QString existing = fileOf(set.name);
    if (!existing.isEmpty() && !replace)
        return PaintResult::failure(existing, QStringLiteral("There is a paint set called \"%1\" already.")
                                                  .arg(QFileInfo(existing).fileName().chopped(Extension.size())));
    // Saved again under another spelling: the stored spelling goes.
    const QString path = existing.isEmpty() ? pathFor(set.name) : existing;
    if (const PaintResult written = SafeSave::writeFile(path, PaintSetFile::toJson(set)); !written)
        return PaintResult::failure(path, QStringLiteral("The paint set could not be saved: %1").arg(written.reason));
    if (path != pathFor(set.name) && !renameSpelling(path, pathFor(set.name)))
        return PaintResult::success(path); // saved, under the old spelling
    return PaintResult::success(pathFor(set.name));
}

PaintResult PaintSetStore::save(const PaintSet &set)
{
    return write(set, true);
}

PaintResult PaintSetStore::add(const PaintSet &set)
{
    return write(set, false);
}

PaintResult PaintSetStore::remove(const QString &name)
{
    const QString path = fileOf(name);
    if (path.isEmpty())
        return noSuchSet(name);
    QFile file(path);
    if (!file.remove())
        return PaintResult::failure(path, QStringLiteral("The paint set could not be deleted: %1").arg(file.errorString()));
    return PaintResult::success(path);
}

PaintResult PaintSetStore::rename(const QString &name, const QString &newName)
{
    PaintSet set;
    if (const PaintResult loaded = load(name, set); !loaded)
        return loaded;
    const QString oldPath = fileOf(name);
    const QString taken = fileOf(newName);
    // Only another letter case of the same name may go over the set itself.
    if (!taken.isEmpty() && taken != oldPath)
        return PaintResult::failure(taken, QStringLiteral("There is a paint set called \"%1\" already.").arg(newName));
    set.name = newName;
    // The new file is whole before the old one goes, so a failure on the
    // way leaves the set under one name or the other.
    if (taken == oldPath && !taken.isEmpty()) {
        if (const PaintResult saved = write(set, true); !saved)
            return saved;
        return PaintResult::success(pathFor(newName));
    }
    if (const PaintResult added = add(set); !added)
        return added;
    if (!QFile::remove(oldPath))
        return PaintResult::failure(oldPath, QStringLiteral("The set was saved as \"%1\", but its old file could not be "
                                                            "deleted.").arg(newName));
    return PaintResult::success(pathFor(newName));
}

PaintResult PaintSetStore::exportTo(const PaintSet &set, const QString &path)
{
    SafeSave::Options keep;
    keep.replaceExisting = false;
    if (const PaintResult written = SafeSave::writeFile(path, PaintSetFile::toJson(set), keep); !written)
        return PaintResult::failure(path, QStringLiteral("The paint set could not be written: %1").arg(written.reason));
    return PaintResult::success(path);
}
