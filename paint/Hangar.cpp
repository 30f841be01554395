#include "Hangar.h"

#include "AircraftFileCheck.h"
#include "AircraftReview.h"
#include "AircraftLock.h"
#include "GameFiles.h"
#include "GameLocation.h"
#include "GameText.h"
#include "NativePath.h"
#include "PaintListFile.h"
#include "PaintRules.h"

#include <QFileInfo>

Hangar::Hangar(const QString &gameFolder)
{
    setGameFolder(gameFolder);
}

void Hangar::setGameFolder(const QString &gameFolder)
{
    m_gameFolder = NativePath::withTrailingSeparator(gameFolder);
    m_aircraft.clear();
    deselect();
}

QString Hangar::aircraftFolder() const
{
    return GameLocation::aircraftFolderOf(m_gameFolder);
}

void Hangar::scan(ListCreation creation, const AircraftScanner::MainTextureQuestion &ask,
                  const AircraftScanner::FoundAircraft &found)
{
    m_scanReport.clear();
    AircraftScanner scanner(ask, creation);
    scanner.onFound(found);
    m_aircraft = scanner.scanAircraft(aircraftFolder(), &m_scanReport);
    deselect();
}

void Hangar::scanFolder(const QString &folder, ListCreation creation,
                        const AircraftScanner::MainTextureQuestion &ask)
{
    AircraftScanner(ask, creation).scanAircraftFolder(folder, m_aircraft, &m_scanReport);
}

QString Hangar::folderNameOf(int index) const
{
    if (index < 0 || index >= m_aircraft.size())
        return QString();
    const QString folder = PaintListFile::folderOf(m_aircraft.at(index).paintListPath);
    return NativePath::fileName(folder.chopped(1));
}

QString Hangar::baseNameOf(int index) const
{
    if (index < 0 || index >= m_aircraft.size())
        return QString();
    return NativePath::withoutExtension(NativePath::fileName(m_aircraft.at(index).paintListPath));
}

QList<int> Hangar::find(const QString &name) const
{
    QList<int> found;
    for (int index = 0; index < m_aircraft.size(); ++index) {
        for (const QString &known : {folderNameOf(index), baseNameOf(index), m_aircraft.at(index).title}) {
            if (known.compare(name, Qt::CaseInsensitive) == 0) {
                found.append(index);
                break;
            }
        }
    }
    return found;
}

PaintResult Hangar::createPaintList(int index)
{
    if (index < 0 || index >= m_aircraft.size())
        return PaintResult::failure(QString(), QStringLiteral("There is no such aircraft."));
    AircraftEntry &entry = m_aircraft[index];
    if (entry.hasPaintList)
        return PaintResult::success(entry.paintListPath);

    const QString folder = PaintListFile::folderOf(entry.paintListPath);
    AircraftLock lock(folder);
    if (!lock.acquire())
        return lock.refusal();
    // Another writer may have made it since the scan; its rows are kept.
    if (AircraftFileCheck::entryExists(entry.paintListPath)) {
        entry.hasPaintList = true;
        return PaintResult::success(entry.paintListPath);
    }
    const QString defaultTexture = PaintListFile::defaultMainTexture(baseNameOf(index));
    const QByteArray mainTexture = GameFiles::canOpenForReading(GameFiles::findGameFile(folder + defaultTexture))
                                       ? GameText::encode(defaultTexture)
                                       : QByteArray();
    if (const PaintResult written = PaintListFile::writeInitial(entry.paintListPath, entry.rawTitle, mainTexture);
        !written) {
        return PaintResult::failure(entry.paintListPath,
                                    QStringLiteral("The paint list could not be written: %1").arg(written.reason));
    }
    entry.hasPaintList = true;
    return PaintResult::success(entry.paintListPath);
}

PaintResult Hangar::select(int index)
{
    deselect();
    if (index < 0 || index >= m_aircraft.size())
        return PaintResult::failure(QString(), QStringLiteral("There is no such aircraft."));
    const AircraftEntry &entry = m_aircraft.at(index);
    if (!entry.hasPaintList) {
        // What the initial list would hold; nothing is written for it.
        const QString folder = PaintListFile::folderOf(entry.paintListPath);
        const QString defaultTexture = PaintListFile::defaultMainTexture(baseNameOf(index));
        PaintListContents contents{entry.rawTitle, {}, {}};
        if (GameFiles::canOpenForReading(GameFiles::findGameFile(folder + defaultTexture)))
            contents.mainTexture = GameText::encode(defaultTexture);
        m_table = PaintTable(folder, contents);
        m_selected = index;
        return PaintResult::success(entry.paintListPath);
    }
    PaintTable table;
    if (const PaintResult loaded = PaintTable::load(entry.paintListPath, table); !loaded)
        return loaded;
    m_table = std::move(table);
    m_selected = index;
    return PaintResult::success(entry.paintListPath);
}

PaintResult Hangar::open(int index, ListCreation creation)
{
    if (creation == ListCreation::CreateMissing) {
        if (const PaintResult created = createPaintList(index); !created) {
            deselect();
            return created;
        }
    }
    PaintResult selected = select(index);
    if (!selected)
        return selected;
    if (const PaintResult kept = keepOriginal(); !kept)
        selected.note = kept.message();
    return selected;
}

void Hangar::deselect()
{
    m_selected = -1;
    m_table.clear();
}

const AircraftEntry *Hangar::selectedAircraft() const
{
    return hasSelection() ? &m_aircraft.at(m_selected) : nullptr;
}

PaintResult Hangar::add(const QByteArray &name, const QString &textureFile)
{
    if (!hasSelection())
        return PaintResult::failure(QString(), QStringLiteral("No aircraft is selected."));
    const QByteArray fileName = GameText::encode(QFileInfo(textureFile).fileName());
    QString problem = PaintRules::problemWithName(name);
    if (problem.isEmpty())
        problem = PaintRules::problemWithFileName(fileName);
    if (!problem.isEmpty())
        return PaintResult::failure(QString(), problem + QStringLiteral("\n\nNothing was added."));
    m_table.appendPaint(name, fileName);
    return save();
}

PaintResult Hangar::remove(int row)
{
    if (!hasSelection() || !m_table.removePaint(row))
        return PaintResult::failure(QString(), QStringLiteral("There is no such paint row."));
    return save();
}

PaintResult Hangar::setMainTexture(const QString &textureFile)
{
    if (!hasSelection())
        return PaintResult::failure(QString(), QStringLiteral("No aircraft is selected."));
    const QByteArray fileName = GameText::encode(QFileInfo(textureFile).fileName());
    if (const QString problem = PaintRules::problemWithFileName(fileName); !problem.isEmpty())
        return PaintResult::failure(QString(), problem + QStringLiteral("\n\nThe paint list was left as it was."));
    m_table.setMainTexture(fileName);
    return save();
}

PaintResult Hangar::save()
{
    if (!hasSelection() || !m_table.isLoaded())
        return PaintResult::failure(QString(), QStringLiteral("No paint list is loaded."));
    // Held from reading the list on disk to writing the merged one, so no
    // other writer's rows fall between.
    AircraftLock lock(m_table.folder());
    if (!lock.acquire()) {
        const PaintResult refused = lock.refusal();
        const int index = m_selected;
        if (!select(index))
            deselect();
        return refused;
    }
    return saveLocked();
}

PaintResult Hangar::saveLocked()
{
    const AircraftEntry &entry = m_aircraft.at(m_selected);
    const PaintResult saved = m_table.save(entry.paintListPath, entry.rawTitle);
    if (saved)
        return saved;
    const int index = m_selected;
    if (!select(index))
        deselect();
    return PaintResult::failure(entry.paintListPath, QStringLiteral("The paint list could not be saved: %1").arg(saved.reason));
}

QList<PaintResult> Hangar::check(int index)
{
    QList<PaintResult> problems;
    if (const PaintResult selected = select(index); !selected) {
        problems << selected;
        return problems;
    }
    const QString listPath = m_aircraft.at(index).paintListPath;
    problems = AircraftReview::textureProblems(m_table, listPath);
    if (m_table.mainTextureName().isEmpty())
        return problems;
    const QString installed = m_table.texturePath(PaintTable::InstalledRow);
    if (!installed.isEmpty() && QFileInfo(installed).isFile() && hasBackup() && !installedRow())
        problems << AircraftReview::changedOutsideProblem(installed);
    return problems;
}
