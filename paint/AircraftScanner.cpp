#include "AircraftScanner.h"

#include "AircraftFileCheck.h"
#include "GameFiles.h"
#include "GameText.h"
#include "PaintListFile.h"
#include "PaintListReader.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {
void note(QStringList *problems, const QString &problem)
{
    if (problems)
        problems->append(problem);
}
} // namespace

AircraftScanner::AircraftScanner(MainTextureQuestion askMainTexture, ListCreation creation)
    : m_askMainTexture(std::move(askMainTexture))
    , m_creation(creation)
{
}

QList<AircraftEntry> AircraftScanner::scanAircraft(const QString &aircraftFolder,
                                                   QStringList *problems) const
{
    QList<AircraftEntry> entries;
    if (aircraftFolder.isEmpty())
        return entries;
    // Listing order on purpose: players know their aircraft in the order the
    // Windows copy shows them.
    QDirIterator it(aircraftFolder, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        const QString name = info.fileName();
        if (name.startsWith(u'.'))
            continue;
        const QString folder = aircraftFolder + name + QDir::separator();
        // An aircraft folder that is a link may lead anywhere; the lists and
        // backups written into it must stay in the game's Aircraft folder.
        if (info.isSymLink() && !AircraftFileCheck::folderLiesInside(aircraftFolder, folder)) {
            note(problems, QStringLiteral("%1 is a link to a folder outside the Aircraft folder")
                               .arg(QDir::toNativeSeparators(folder)));
            continue;
        }
        scanAircraftFolder(folder, entries, problems);
    }
    return entries;
}

void AircraftScanner::scanAircraftFolder(const QString &folder, QList<AircraftEntry> &entries,
                                         QStringList *problems) const
{
    // Matched by hand rather than by a name filter: a wildcard is compiled
    // to a regular expression for every folder, which costs more than the
    // rest of the scan.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString fileName = it.nextFileInfo().fileName();
        if (!fileName.endsWith(QLatin1StringView(".xdp"), Qt::CaseInsensitive))
            continue;
        const QString baseName = fileName.chopped(4);
        const QString definitionPath = folder + fileName;
        const QString paintListPath = definitionPath.chopped(3) + QStringLiteral("pnt");

        const FileVerdict definition = AircraftFileCheck::mayRead(folder, definitionPath);
        if (!definition) {
            note(problems, definition.message());
            continue;
        }
        if (!GameFiles::canOpenForReading(definition.realPath))
            continue;

        // Something of the list's name that cannot be read is still the
        // player's; writing a fresh list over it would destroy it.
        if (!AircraftFileCheck::entryExists(paintListPath)) {
            if (m_creation == ListCreation::ReadOnly) {
                entries.append(AircraftEntry{baseName, GameText::encode(baseName), paintListPath, false});
                continue;
            }
            const FileVerdict newList = AircraftFileCheck::mayWrite(folder, paintListPath);
            if (!newList) {
                note(problems, newList.message());
                continue;
            }
            PaintListFile::writeInitial(paintListPath, GameText::encode(baseName),
                                        mainTextureFor(baseName, folder));
        }
        QByteArray list;
        QString problem;
        if (!PaintListFile::readBytes(paintListPath, list, &problem)) {
            if (AircraftFileCheck::entryExists(paintListPath))
                note(problems, problem);
            continue;
        }

        QBuffer buffer(&list);
        buffer.open(QIODevice::ReadOnly);
        PaintListReader reader(buffer);
        if (!reader.readValueLine())
            continue;
        reader.cutAtLineEnd();
        entries.append(AircraftEntry{GameText::decode(reader.buffer()), reader.buffer(),
                                     paintListPath});
    }
}

QByteArray AircraftScanner::mainTextureFor(const QString &baseName, const QString &folder) const
{
    const QString defaultName = baseName + QStringLiteral("_t.dds");
    // A default texture that is a link out of the folder or a pipe counts as
    // missing: the player is asked.
    const FileVerdict found = AircraftFileCheck::mayRead(folder, GameFiles::findGameFile(folder + defaultName));
    if (found && GameFiles::canOpenForReading(found.realPath))
        return GameText::encode(defaultName);
    if (!m_askMainTexture)
        return {};
    const std::optional<QString> picked = m_askMainTexture(baseName, folder);
    if (!picked)
        return {};
    return GameText::encode(QFileInfo(*picked).fileName());
}
