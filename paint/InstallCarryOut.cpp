// Carrying out an install plan: every texture streamed from its download to
// its file, each aircraft's list saved once.
#include "InstallPlan.h"

#include "AircraftFileCheck.h"
#include "AircraftLock.h"
#include "DiskSync.h"
#include "GameFiles.h"
#include "GameText.h"
#include "InstallSpool.h"
#include "PaintApply.h"
#include "PaintListFile.h"
#include "PaintNaming.h"
#include "PaintNote.h"
#include "PaintRules.h"
#include "PaintTable.h"
#include "PictureTexture.h"
#include "SafeSave.h"
#include "TextureInstaller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <list>
#include <map>
#include <memory>

namespace {

struct AircraftWork;

// One texture on its way into an aircraft folder.
struct Target
{
    const InstallItem *item = nullptr;
    AircraftWork *aircraft = nullptr;
    QByteArray paintName;
    QString fileName;
    bool alreadyThere = false;
    bool makeDds = false; // a picture made into a DDS like the original on its way
    bool written = false;
    QString writtenPath;
    QString problem;
    std::unique_ptr<SafeSave> spooled; // written while the plan was made, not yet in place
};

struct AircraftWork
{
    const AircraftEntry *entry = nullptr;
    std::unique_ptr<AircraftLock> lock; // from choosing the names to saving the list
    std::optional<PaintTable> table;
    std::unique_ptr<TextureInstaller::FolderPlacement> placement;
    QList<Target *> targets;
    QSet<QString> listed; // texture paths the list names, case-folded
    std::optional<TextureFile::DdsShape> original; // the main texture's shape, for pictures made into DDS
    QStringList writtenPaths;
    AircraftInstallResult result;
};

QString listedKey(const QString &folder, const QByteArray &value)
{
    return QDir::cleanPath(PaintListFile::texturePath(folder, value)).toCaseFolded();
}

QString extensionOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > 0 ? fileName.mid(dot) : QString();
}

// The names a download may never take, those of the original.
void reserveOriginalNames(AircraftWork &work)
{
    for (const QString &name : PaintRules::originalTextureNames(work.entry->paintListPath, work.table->mainTextureName()))
        work.placement->reserve(name);
}

// Writes each planned texture as the download is read, through the safe
// save, and keeps it only when it is the very texture that was planned.
class FolderWriter : public TextureSink
{
public:
    FolderWriter(const QHash<int, Target *> &targets, const InstallProgress *progress, int &placed, int toPlace)
        : m_targets(targets), m_progress(progress), m_placed(placed), m_toPlace(toPlace)
    {
    }

    bool open(const DownloadedTexture &texture) override
    {
        m_target = m_targets.value(texture.entry);
        if (!m_target || m_target->written)
            return false;
        m_picture.clear();
        if (m_target->makeDds)
            return true; // written once the whole picture is there
        const TextureInstaller::FolderPlacement &placement = *m_target->aircraft->placement;
        const FileVerdict verdict = placement.check().mayWrite(placement.folder() + m_target->fileName);
        if (!verdict) {
            m_target->problem = verdict.result.reason;
            return false;
        }
        SafeSave::Options options;
        options.replaceExisting = false; // one that appeared meanwhile wins
        options.syncToDisk = false;      // the folder is synced once, at the end
        m_save = std::make_unique<SafeSave>(verdict.realPath, options);
        m_path = verdict.realPath;
        if (const PaintResult opened = m_save->open(); !opened) {
            m_target->problem = opened.reason;
            return false;
        }
        return true;
    }

    bool write(QByteArrayView bytes) override
    {
        if (m_target->makeDds) {
            m_picture.append(bytes);
            return true;
        }
        const PaintResult written = m_save->write(QByteArray::fromRawData(bytes.data(), bytes.size()));
        if (written)
            return true;
        m_writeProblem = written.reason;
        return false;
    }

    void close(const DownloadedTexture &texture, const QString &problem) override
    {
        QString why = !problem.isEmpty() ? problem : m_writeProblem;
        if (why.isEmpty() && (texture.size != m_target->item->texture.size
                              || texture.digest != m_target->item->texture.digest))
            why = QStringLiteral("the download changed since it was read; nothing of it was installed");
        if (why.isEmpty() && m_target->makeDds)
            why = writeMadeTexture();
        if (why.isEmpty())
            why = m_save->commit().reason;
        m_save.reset();
        if (why.isEmpty()) {
            m_target->written = true;
            m_target->writtenPath = m_path;
            m_target->aircraft->writtenPaths << m_path;
            if (m_progress)
                m_progress->tell(++m_placed, m_toPlace, m_target->item->texture.source);
        } else {
            m_target->problem = why;
        }
        m_writeProblem.clear();
        m_target = nullptr;
    }

private:
    // The picture made into a DDS and handed to a safe save; why not, else.
    QString writeMadeTexture()
    {
        QByteArray dds;
        const PaintResult made = PictureTexture::makeDds(m_picture, *m_target->aircraft->original, dds);
        m_picture.clear();
        if (!made)
            return QStringLiteral("it could not be made into a DDS texture: %1").arg(made.reason);
        const TextureInstaller::FolderPlacement &placement = *m_target->aircraft->placement;
        const FileVerdict verdict = placement.check().mayWrite(placement.folder() + m_target->fileName);
        if (!verdict)
            return verdict.result.reason;
        SafeSave::Options options;
        options.replaceExisting = false;
        options.syncToDisk = false;
        m_save = std::make_unique<SafeSave>(verdict.realPath, options);
        m_path = verdict.realPath;
        PaintResult written = m_save->open();
        if (written)
            written = m_save->write(dds);
        return written.reason;
    }

    const QHash<int, Target *> &m_targets;
    const InstallProgress *m_progress;
    int &m_placed;
    int m_toPlace;
    QByteArray m_picture;
    Target *m_target = nullptr;
    std::unique_ptr<SafeSave> m_save;
    QString m_path;
    QString m_writeProblem;
};

// A texture written while the plan was made takes its name now, checked
// right before it is put in place.
void placeSpooled(Target &target, const InstallProgress *progress, int &placed, int toPlace)
{
    std::unique_ptr<SafeSave> file = std::move(target.spooled);
    if (progress && progress->isCancelled()) {
        target.problem = QStringLiteral("not installed: %1").arg(cancelledReason());
        return;
    }
    const TextureInstaller::FolderPlacement &placement = *target.aircraft->placement;
    const FileVerdict verdict = placement.check().mayWrite(placement.folder() + target.fileName);
    if (!verdict) {
        target.problem = verdict.result.reason;
        return;
    }
    file->setPath(verdict.realPath);
    if (const PaintResult committed = file->commit(); !committed) {
        target.problem = committed.reason;
        return;
    }
    target.written = true;
    target.writtenPath = verdict.realPath;
    target.aircraft->writtenPaths << verdict.realPath;
    if (progress)
        progress->tell(++placed, toPlace, target.item->texture.source);
}

QString problemWithMakingDds(const InstallItem &item, const std::optional<TextureFile::DdsShape> &original)
{
    if (!original)
        return QStringLiteral("the aircraft's main texture cannot be read as DDS, so the format to make is unknown");
    if (!item.pictureSize)
        return QStringLiteral("the picture cannot be read");
    return PictureTexture::problemWithMaking(*item.pictureSize, *original);
}

// Decides every name before anything is written, so an aircraft whose list
// would grow too big is refused untouched.
void choosePlaces(AircraftWork &work)
{
    const QString folder = work.table->folder();
    for (const PaintEntry &paint : work.table->paints())
        work.listed.insert(listedKey(folder, paint.texture));
    work.placement = std::make_unique<TextureInstaller::FolderPlacement>(folder);
    if (const FileVerdict main = work.placement->check().mayRead(GameFiles::findGameFile(work.table->mainTexturePath())))
        work.original = TextureFile::readDdsShape(main.realPath);
    reserveOriginalNames(work);
    const bool mainMissing = work.table->mainTexturePath().isEmpty()
                             || !AircraftFileCheck::entryExists(GameFiles::findGameFile(work.table->mainTexturePath()));

    QList<PaintEntry> added;
    for (Target *target : std::as_const(work.targets)) {
        const InstallItem &item = *target->item;
        target->paintName = GameText::encode(item.paintName);
        QString problem = PaintRules::problemWithName(target->paintName);
        // Named after its paint, so the folder reads like the list: the
        // texture's own name usually only repeats the main texture's.
        target->makeDds = item.makeDds && PictureTexture::isPicture(item.texture.fileName);
        const QString extension = target->makeDds ? QStringLiteral(".dds") : extensionOf(item.texture.fileName).toLower();
        const QString fileName = PaintNaming::fileNameForPaint(item.paintName, extension);
        if (target->makeDds && problem.isEmpty())
            problem = problemWithMakingDds(item, work.original);
        if (work.placement->isReserved(item.texture.fileName)) {
            work.result.notes << (mainMissing
                    ? QStringLiteral("%1 is named like the main texture, which is missing: it was installed as "
                                     "the paint \"%2\", not as the original, and no backup was made from it.")
                    : QStringLiteral("%1 is named like the main texture or its backup: it was installed as the "
                                     "paint \"%2\" instead, and the original was left as it was."))
                                     .arg(item.texture.source, item.paintName);
        }
        std::optional<TextureInstaller::FolderPlacement::Choice> choice;
        if (problem.isEmpty()) {
            // A texture made here is never taken for a file already there.
            TextureInstaller::FolderPlacement::Choice chosen;
            const PaintResult placed =
                target->makeDds ? work.placement->choose(fileName, -1, "made from " + item.texture.digest, chosen)
                                : work.placement->choose(fileName, item.texture.size, item.texture.digest, chosen);
            if (placed)
                choice = chosen;
            else
                problem = placed.reason;
        }
        if (choice && choice->shortened) {
            work.result.notes << QStringLiteral("%1: its name is too long for the file system, so it was "
                                                "installed as %2.").arg(item.texture.source, choice->name);
        }
        if (problem.isEmpty())
            problem = PaintRules::problemWithFileName(GameText::encode(choice->name));
        if (problem.isEmpty() && work.listed.contains(listedKey(folder, GameText::encode(choice->name))))
            problem = QStringLiteral("already in the list as %1").arg(choice->name);
        if (!problem.isEmpty()) {
            target->problem = problem;
            continue;
        }
        target->fileName = choice->name;
        target->alreadyThere = choice->alreadyThere;
        work.listed.insert(listedKey(folder, GameText::encode(choice->name)));
        added.append({target->paintName, GameText::encode(choice->name)});
    }

    const qint64 size = PaintListFile::fullForm(work.entry->rawTitle, work.table->mainTextureName(),
                                                work.table->paints() + added).size();
    if (size > PaintListFile::MaxFileSize) {
        work.result.problems << PaintResult::failure(
            work.entry->paintListPath,
            QStringLiteral("The paint list of %1 would grow to %2 KiB, past the %3 KiB Corvane "
                           "reads back; nothing was installed for this aircraft.")
                .arg(work.entry->title).arg((size + 1023) / 1024)
                .arg(PaintListFile::MaxFileSize / 1024));
        work.result.notes.clear();
        for (Target *target : std::as_const(work.targets))
            target->problem = QStringLiteral("refused with the rest of the install");
        work.targets.clear();
    }
}

// The read-me goes beside the texture; a file already there is the
// player's and stays as it is. Gives why the note could not be written.
QString keepNote(const QString &folder, const QString &textureFileName, const DownloadedNote &note)
{
    if (note.text.isEmpty())
        return QString();
    const QString path = folder + PaintNote::noteFileNameFor(textureFileName);
    if (AircraftFileCheck::entryExists(GameFiles::findGameFile(path)))
        return QString();
    const FileVerdict verdict = AircraftFileCheck::mayWrite(folder, path);
    if (!verdict)
        return verdict.result.reason;
    SafeSave::Options options;
    options.replaceExisting = false;
    if (const PaintResult written = SafeSave::writeFile(verdict.realPath, PaintNote::encode(note.text), options); !written)
        return QStringLiteral("its read-me could not be kept as %1: %2").arg(QDir::toNativeSeparators(path), written.reason);
    return QString();
}

// Syncs what was written, lists it, saves the list and makes the backup.
void finish(AircraftWork &work)
{
    if (!work.writtenPaths.isEmpty()) {
        if (const PaintResult synced = DiskSync::syncFiles(work.writtenPaths); !synced)
            work.result.problems << PaintResult::failure(
                synced.file, QStringLiteral("The new textures could not be put on the disk: %1").arg(synced.reason));
        DiskSync::syncFolder(work.table->folder());
    }
    QStringList addedNames;
    QList<const Target *> appended;
    for (Target *target : std::as_const(work.targets)) {
        if (!target->problem.isEmpty()) {
            work.result.problems << PaintResult::failure(target->item->texture.source, target->problem);
            continue;
        }
        if (!target->written && !target->alreadyThere) {
            work.result.problems << PaintResult::failure(
                target->item->texture.source, QStringLiteral("it is no longer in the download; nothing of it was installed"));
            continue;
        }
        work.table->appendPaint(target->paintName, GameText::encode(target->fileName));
        addedNames << target->item->paintName;
        appended << target;
    }
    if (addedNames.isEmpty())
        return;
    if (const PaintResult saved = work.table->save(work.entry->paintListPath, work.entry->rawTitle); !saved) {
        work.result.problems << PaintResult::failure(work.entry->paintListPath,
                                                     QStringLiteral("The paint list %1 could not be saved: %2")
                                                         .arg(QDir::toNativeSeparators(work.entry->paintListPath),
                                                              saved.reason));
        // Files no list names would only fill the folder; they are this
        // install's own, and the download still holds them.
        for (const QString &path : std::as_const(work.writtenPaths))
            QFile::remove(path);
        return;
    }
    work.result.added = addedNames;
    for (const Target *target : std::as_const(appended)) {
        if (const QString problem = keepNote(work.table->folder(), target->fileName, target->item->note); !problem.isEmpty())
            work.result.problems << PaintResult::failure(target->item->note.source, problem);
    }
    if (const PaintResult backedUp = ensureBackup(*work.table); !backedUp)
        work.result.problems << PaintResult::failure(
            backedUp.file, QStringLiteral("The backup of the original texture could not be made: %1").arg(backedUp.reason));
}

} // namespace

QList<AircraftInstallResult> carryOut(const InstallPlan &plan, const QList<AircraftEntry> &aircraft,
                                      const PaintArchive::Limits &limits, InstallSpool *spool)
{
    std::map<int, AircraftWork> works;
    std::list<Target> targets;
    QHash<QString, QHash<int, Target *>> byDownload;
    QStringList downloadOrder;
    for (const InstallItem &item : plan.items) {
        if (!item.selected || item.aircraft < 0 || item.aircraft >= aircraft.size())
            continue;
        AircraftWork &work = works[item.aircraft];
        work.entry = &aircraft[item.aircraft];
        work.result.aircraft = item.aircraft;
        Target &target = targets.emplace_back();
        target.item = &item;
        target.aircraft = &work;
        work.targets.append(&target);
    }

    QList<Target *> spooledTargets;
    // Every aircraft's lock is taken in the same order (the list's), so two
    // installs never wait on each other crosswise for long.
    for (auto &[index, work] : works) {
        work.lock = std::make_unique<AircraftLock>(PaintListFile::folderOf(work.entry->paintListPath));
        if (!work.lock->acquire()) {
            work.result.problems << work.lock->refusal();
            work.targets.clear();
            continue;
        }
        PaintTable table;
        if (const PaintResult loaded = PaintTable::load(work.entry->paintListPath, table); loaded) {
            work.table = std::move(table);
        } else {
            work.table.reset();
            work.result.problems << PaintResult::failure(
                work.entry->paintListPath, QStringLiteral("The paint list %1 could not be read; nothing was installed for "
                                                          "this aircraft. %2")
                                               .arg(QDir::toNativeSeparators(work.entry->paintListPath), loaded.reason));
            work.targets.clear();
            continue;
        }
        choosePlaces(work);
        for (Target *target : std::as_const(work.targets)) {
            if (target->problem.isEmpty() && !target->alreadyThere) {
                if (spool && !target->makeDds && (target->spooled = spool->take(*target->item))) {
                    spooledTargets << target;
                    continue;
                }
                if (!downloadOrder.contains(target->item->download))
                    downloadOrder << target->item->download;
                byDownload[target->item->download].insert(target->item->texture.entry, target);
            }
        }
    }

    const InstallProgress *progress = limits.progress;
    int placed = 0;
    int toPlace = int(spooledTargets.size());
    for (const QString &download : std::as_const(downloadOrder))
        toPlace += int(byDownload[download].size());
    for (Target *target : std::as_const(spooledTargets))
        placeSpooled(*target, progress, placed, toPlace);
    for (const QString &download : std::as_const(downloadOrder)) {
        const QHash<int, Target *> &wanted = byDownload[download];
        if (progress && progress->isCancelled()) {
            for (Target *target : wanted)
                target->problem = QStringLiteral("not installed: %1").arg(cancelledReason());
            continue;
        }
        FolderWriter writer(wanted, progress, placed, toPlace);
        const DownloadContents contents = PaintArchive::readDownload(download, limits, &writer);
        if (!contents.ok() && progress && progress->isCancelled()) {
            // What was placed stays, to be listed; the rest never was.
            for (Target *target : wanted) {
                if (!target->written && target->problem.isEmpty())
                    target->problem = QStringLiteral("not installed: %1").arg(cancelledReason());
            }
        } else if (!contents.ok()) {
            for (Target *target : wanted) {
                if (target->problem.isEmpty())
                    target->problem = contents.result.reason;
                if (target->written) {
                    QFile::remove(target->writtenPath);
                    target->aircraft->writtenPaths.removeAll(target->writtenPath);
                    target->written = false;
                }
            }
        }
    }

    QList<AircraftInstallResult> results;
    for (auto &[index, work] : works) {
        if (work.table)
            finish(work);
        work.lock.reset();
        results.append(work.result);
    }
    return results;
}
