#include "AircraftScanner.h"

#include "GameFiles.h"
#include "GameText.h"
#include "PaintListFile.h"
#include "PaintListReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

AircraftScanner::AircraftScanner(MainTextureQuestion askMainTexture, ListCreation creation)
    : m_askMainTexture(std::move(askMainTexture))
    , m_creation(creation)
{
}

QList<AircraftEntry> AircraftScanner::scanAircraft(const QString &aircraftFolder) const
{
    QList<AircraftEntry> entries;
    if (aircraftFolder.isEmpty())
        return entries;
    // Listing order on purpose: players know their aircraft in the order the
    // Windows copy shows them.
    QDirIterator it(aircraftFolder, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString name = it.nextFileInfo().fileName();
        if (name.startsWith(u'.'))
            continue;
        scanAircraftFolder(aircraftFolder + name + QDir::separator(), entries);
    }
    return entries;
}

void AircraftScanner::scanAircraftFolder(const QString &folder, QList<AircraftEntry> &entries) const
{
    // Matched by hand rather than by a name filter: a wildcard is compiled
    // to a regular expression for every folder, which costs more than the
    // rest of the scan.
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        const QString fileName = it.nextFileInfo().fileName();
        if (!fileName.endsWith(QLatin1StringView(".xdp"), Qt::CaseInsensitive))
            continue;
        const QString baseName = fileName.chopped(4);
        const QString definitionPath = folder + fileName;
        const QString paintListPath = definitionPath.chopped(3) + QStringLiteral("pnt");

        if (!GameFiles::canOpenForReading(definitionPath))
            continue;

        QFile paintList(paintListPath);
        if (!paintList.open(QIODevice::ReadOnly)) {
            // Something of that name that cannot be read is still the
            // player's; writing a fresh list over it would destroy it.
            if (QFileInfo::exists(paintListPath))
                continue;
            if (m_creation == ListCreation::ReadOnly) {
                entries.append(AircraftEntry{baseName, GameText::encode(baseName), paintListPath, false});
                continue;
            }
            PaintListFile::writeInitial(paintListPath, GameText::encode(baseName),
                                        mainTextureFor(baseName, folder));
            if (!paintList.open(QIODevice::ReadOnly))
                continue;
        }

        PaintListReader reader(paintList);
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
    if (GameFiles::canOpenForReading(GameFiles::findGameFile(folder + defaultName)))
        return GameText::encode(defaultName);
    if (!m_askMainTexture)
        return {};
    const std::optional<QString> picked = m_askMainTexture(baseName, folder);
    if (!picked)
        return {};
    return GameText::encode(QFileInfo(*picked).fileName());
}
