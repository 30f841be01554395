#include "AircraftScanner.h"

#include "AircraftFileCheck.h"
#include "AircraftLock.h"
#include "DiskSync.h"
#include "GameFiles.h"
#include "GameText.h"
#include "PaintListFile.h"
#include "PaintListReader.h"
#include "RegularFileOpen.h"
#include "SafeSave.h"
#include "UndecodableNames.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

namespace {
void note(QList<PaintResult> *problems, const PaintResult &problem)
{
    if (problems)
        problems->append(problem);
}

void note(QList<PaintResult> *problems, const QString &file, const QString &problem)
{
    note(problems, PaintResult::failure(file, problem));
}
} // namespace

AircraftScanner::AircraftScanner(MainTextureQuestion askMainTexture, ListCreation creation)
    : m_askMainTexture(std::move(askMainTexture))
    , m_creation(creation)
{
}

QList<AircraftEntry> AircraftScanner::scanAircraft(const QString &aircraftFolder,
                                                   QList<PaintResult> *problems) const
{
    QList<AircraftEntry> entries;
    if (aircraftFolder.isEmpty())
        return entries;
    // Some installs spell it AIRCRAFT; the game does not mind.
    const QString folder = GameFiles::findGameFile(aircraftFolder);
    // Lists are created without a sync each and synced together at the end.
    QStringList created;
    // Its real path is resolved once: the aircraft folders that the listing
    // finds to be no links take theirs from it.
    const AircraftFileCheck::Folder checkedFolder(folder);
    // Sorted as Windows lists them, whatever this file system's order: players
    // know their aircraft alphabetically.
    QStringList names;
    QSet<QString> links;
    QDirIterator it(folder, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        const QString name = info.fileName();
        if (name.startsWith(u'.'))
            continue;
        // An aircraft folder that is a link may lead anywhere; the lists and
        // backups written into it must stay in the game's Aircraft folder.
        const bool link = AircraftFileCheck::isLink(info);
        if (link && !AircraftFileCheck::folderLiesInside(folder, folder + name + QDir::separator())) {
            const QString link = folder + name + QDir::separator();
            note(problems, link, QStringLiteral("%1 is a link to a folder outside the Aircraft folder")
                                     .arg(QDir::toNativeSeparators(link)));
            continue;
        }
        if (link)
            links.insert(name);
        names.append(name);
    }
    GameFiles::sortAsListed(names);
    for (const QString &name : undecodableNames(folder)) {
        note(problems, folder + name, QStringLiteral("%1 has a name that cannot be read (it is not valid UTF-8), so it is left out; "
                                      "rename it to see its aircraft")
                           .arg(QDir::toNativeSeparators(folder + name)));
    }
    for (const QString &name : std::as_const(names)) {
        const QString subfolder = folder + name + QDir::separator();
        scanFolder(links.contains(name) ? AircraftFileCheck::Folder(subfolder)
                                        : AircraftFileCheck::Folder(checkedFolder, name),
                   entries, problems, created);
    }
    DiskSync::syncFiles(created);
    return entries;
}

void AircraftScanner::scanAircraftFolder(const QString &folder, QList<AircraftEntry> &entries,
                                         QList<PaintResult> *problems) const
{
    QStringList created;
    scanFolder(AircraftFileCheck::Folder(folder), entries, problems, created);
    DiskSync::syncFiles(created);
}

void AircraftScanner::scanFolder(const AircraftFileCheck::Folder &checked, QList<AircraftEntry> &entries,
                                 QList<PaintResult> *problems, QStringList &created) const
{
    const QString folder = checked.folder();
    // Matched by hand rather than by a name filter: a wildcard is compiled
    // to a regular expression for every folder, which costs more than the
    // rest of the scan.
    QStringList definitions;
    QStringList leftovers;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        QString fileName = it.nextFileInfo().fileName();
        if (fileName.endsWith(QLatin1StringView(".xdp"), Qt::CaseInsensitive))
            definitions.append(std::move(fileName));
        else if (fileName.startsWith(u'.') && SafeSave::isTemporaryName(fileName))
            leftovers.append(std::move(fileName));
    }
    if (!leftovers.isEmpty() && m_creation != ListCreation::ReadOnly)
        removeLeftovers(folder, leftovers, problems);
    GameFiles::sortAsListed(definitions);
    for (const QString &fileName : std::as_const(definitions)) {
        const QString baseName = fileName.chopped(4);
        const QString definitionPath = folder + fileName;
        const QString paintListPath = definitionPath.chopped(3) + QStringLiteral("pnt");

        const FileVerdict definition = checked.mayRead(definitionPath);
        if (!definition) {
            note(problems, definition.result);
            continue;
        }
        if (const PaintResult readable = RegularFileOpen::canRead(definition.realPath); !readable) {
            note(problems, definitionPath, QDir::toNativeSeparators(definitionPath) + u' ' + readable.reason);
            continue;
        }

        // Something of the list's name that cannot be read is still the
        // player's; writing a fresh list over it would destroy it.
        QByteArray list;
        const FileVerdict existing = checked.mayRead(paintListPath);
        if (existing.absent) {
            if (m_creation == ListCreation::ReadOnly) {
                entries.append(AircraftEntry{baseName, GameText::encode(baseName), paintListPath, false});
                if (m_found)
                    m_found(entries.constLast());
                continue;
            }
            const QByteArray title = GameText::encode(baseName);
            const QByteArray mainTexture = mainTextureFor(baseName, checked, folder);
            // Checked after the player may have been asked, right before the write.
            const FileVerdict newList = checked.mayWrite(paintListPath);
            if (!newList) {
                note(problems, newList.result);
                continue;
            }
            if (PaintListFile::createInitial(newList, title, mainTexture)) {
                created.append(paintListPath);
                list = PaintListFile::initialForm(title, mainTexture); // just written, not read back
            }
        }
        if (existing.absent) {
            // Not written: unless something took its place meanwhile, there
            // is nothing to tell.
            if (list.isEmpty()) {
                if (const PaintResult read = PaintListFile::readBytes(paintListPath, list); !read) {
                    if (AircraftFileCheck::entryExists(paintListPath))
                        note(problems, read);
                    continue;
                }
            }
        } else if (const PaintResult read = PaintListFile::readBytes(existing, list); !read) {
            note(problems, read);
            continue;
        }

        QBuffer buffer(&list);
        buffer.open(QIODevice::ReadOnly);
        PaintListReader reader(buffer);
        if (!reader.readValueLine()) {
            // A hand edit usually; the player should learn where the aircraft went.
            note(problems, paintListPath,
                 QStringLiteral("%1 has no title line (only comments, or the end line first), so its aircraft is left out")
                     .arg(QDir::toNativeSeparators(paintListPath)));
            continue;
        }
        reader.cutAtLineEnd();
        entries.append(AircraftEntry{GameText::decode(reader.buffer()), reader.buffer(),
                                     paintListPath});
        if (m_found)
            m_found(entries.constLast());
    }
}

QByteArray AircraftScanner::mainTextureFor(const QString &baseName, const AircraftFileCheck::Folder &checked,
                                           const QString &folder) const
{
    const QString defaultName = PaintListFile::defaultMainTexture(baseName);
    // A default texture that is a link out of the folder or a pipe counts as
    // missing: the player is asked.
    const FileVerdict found = checked.mayRead(GameFiles::findGameFile(folder + defaultName));
    if (found && GameFiles::canOpenForReading(found.realPath))
        return GameText::encode(defaultName);
    if (!m_askMainTexture)
        return {};
    const std::optional<QString> picked = m_askMainTexture(baseName, folder);
    if (!picked)
        return {};
    return GameText::encode(QFileInfo(*picked).fileName());
}

void AircraftScanner::removeLeftovers(const QString &folder, const QStringList &names, QList<PaintResult> *problems) const
{
    // A minute keeps clear of a save that has just begun; the lock tells a
    // writer at work from one that is gone.
    constexpr qint64 LeftOverAfterSeconds = 60;
    if (AircraftLock::isWriterAlive(folder))
        return;
    AircraftLock lock(folder);
    if (!lock.acquire(0))
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QStringList removed;
    qint64 bytes = 0;
    for (const QString &name : names) {
        const QFileInfo info(folder + name);
        if (info.lastModified().secsTo(now) < LeftOverAfterSeconds)
            continue;
        const qint64 size = info.isSymLink() ? 0 : info.size();
        if (QFile::remove(folder + name)) {
            removed << name;
            bytes += size;
        }
    }
    if (!removed.isEmpty()) {
        note(problems, folder, QStringLiteral("%1 held %2 temporary file(s) of %3 KiB in all, left by a save that was cut "
                                      "short; they were removed: %4")
                           .arg(QDir::toNativeSeparators(folder)).arg(removed.size()).arg((bytes + 1023) / 1024)
                           .arg(removed.join(QStringLiteral(", "))));
    }
}
