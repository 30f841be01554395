#include "InstallPlan.h"

#include "AircraftFileCheck.h"
#include "GameFiles.h"
#include "GameText.h"
#include "PaintListFile.h"
#include "PaintNaming.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString folderNameOf(const QString &folder)
{
    return QDir(folder).dirName();
}

// A download often carries the replacement main texture under the main
// texture's own name; its folder in the archive, or the archive, names it
// better.
QString defaultPaintName(const InstallItem &item, const QList<AircraftCandidate> &candidates)
{
    const QString &fileName = item.texture.fileName;
    if (item.aircraft < 0
        || fileName.compare(candidates[item.aircraft].mainTextureName, Qt::CaseInsensitive) != 0)
        return PaintNaming::readableName(fileName);
    const QStringList parts = QString(item.texture.source).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    if (parts.size() >= 2)
        return PaintNaming::readableName(parts.at(parts.size() - 2) + QStringLiteral(".x"));
    return PaintNaming::readableName(QFileInfo(item.download).fileName());
}

QString aircraftName(const QList<AircraftEntry> &aircraft, int index)
{
    return index >= 0 && index < aircraft.size() ? aircraft[index].title : QStringLiteral("(no aircraft)");
}

} // namespace

bool InstallPlan::hasSelection() const
{
    for (const InstallItem &item : items) {
        if (item.selected && item.aircraft >= 0)
            return true;
    }
    return false;
}

QList<AircraftCandidate> aircraftCandidates(const QList<AircraftEntry> &aircraft)
{
    QList<AircraftCandidate> candidates;
    for (const AircraftEntry &entry : aircraft) {
        AircraftCandidate candidate;
        const QString folder = PaintListFile::folderOf(entry.paintListPath);
        candidate.folderName = folderNameOf(folder);
        candidate.definitionBaseName = QFileInfo(entry.paintListPath).completeBaseName();
        // Without a list yet, the main texture is the one the list would name.
        QByteArray mainTexture = GameText::encode(candidate.definitionBaseName + QStringLiteral("_t.dds"));
        if (const auto contents = PaintListFile::load(entry.paintListPath))
            mainTexture = contents->mainTexture;
        const QString mainTexturePath = PaintListFile::texturePath(folder, mainTexture);
        candidate.mainTextureName = QFileInfo(mainTexturePath).fileName();
        const FileVerdict mainTextureFile = AircraftFileCheck::mayRead(folder, GameFiles::findGameFile(mainTexturePath));
        if (mainTextureFile)
            candidate.mainTexture = TextureFile::readDdsShape(mainTextureFile.realPath);
        candidates.append(candidate);
    }
    return candidates;
}

InstallPlan planInstall(const InstallRequest &request, const QList<AircraftEntry> &aircraft,
                        const PaintArchive::Limits &limits)
{
    const QList<AircraftCandidate> candidates = aircraftCandidates(aircraft);
    InstallPlan plan;
    for (const QString &download : request.downloads) {
        const QString fileName = QFileInfo(download).fileName();
        const bool isArchive = PaintArchive::isArchiveFileName(fileName);
        const DownloadContents contents = PaintArchive::readDownload(download, limits);
        if (!contents.ok()) {
            plan.refused.append(contents.error);
            continue;
        }
        plan.skipped += contents.skipped;
        for (const DownloadedTexture &texture : contents.textures) {
            InstallItem item;
            item.download = download;
            item.texture = texture;
            item.shape = texture.shape;
            item.match = matchAircraft(isArchive ? texture.source : texture.fileName,
                                       isArchive ? fileName : QString(), item.shape, candidates,
                                       request.chosenAircraft);
            item.aircraft = item.match.aircraft;
            item.selected = item.aircraft >= 0;
            item.paintName = defaultPaintName(item, candidates);
            plan.items.append(item);
        }
    }
    if (!request.paintName.isEmpty()) {
        for (InstallItem &item : plan.items) {
            item.paintName = plan.items.size() == 1
                                 ? request.paintName
                                 : request.paintName + QStringLiteral(" ") + item.paintName;
        }
    }
    return plan;
}

QString describePlan(const InstallPlan &plan, const QList<AircraftEntry> &aircraft)
{
    QString text;
    for (const QString &refusal : plan.refused)
        text += QStringLiteral("refused  %1\n").arg(refusal);
    for (const InstallItem &item : plan.items) {
        QString how;
        switch (item.match.reason) {
        case MatchReason::Chosen: how = QStringLiteral("as chosen"); break;
        case MatchReason::Name: how = QStringLiteral("by name"); break;
        case MatchReason::Shape: how = QStringLiteral("by size and format"); break;
        case MatchReason::Ambiguous: {
            QStringList names;
            for (int i : item.match.candidates)
                names.append(aircraftName(aircraft, i));
            how = QStringLiteral("could be any of: %1").arg(names.join(QStringLiteral(", ")));
            break;
        }
        case MatchReason::None: how = QStringLiteral("no aircraft matches"); break;
        }
        text += QStringLiteral("%1  %2 -> %3 as \"%4\" (%5)\n")
                    .arg(item.selected && item.aircraft >= 0 ? QStringLiteral("install") : QStringLiteral("leave  "),
                         item.texture.source, aircraftName(aircraft, item.aircraft), item.paintName, how);
    }
    for (const SkippedEntry &skipped : plan.skipped)
        text += QStringLiteral("skip     %1: %2\n").arg(skipped.source, skipped.reason);
    return text;
}

QString describeResults(const QList<AircraftInstallResult> &results, const QList<AircraftEntry> &aircraft)
{
    QString text;
    for (const AircraftInstallResult &result : results) {
        text += aircraftName(aircraft, result.aircraft) + QStringLiteral(": ");
        text += result.added.isEmpty() ? QStringLiteral("nothing added")
                                       : QStringLiteral("added ") + result.added.join(QStringLiteral(", "));
        text += u'\n';
        for (const QString &note : result.notes)
            text += QStringLiteral("  %1\n").arg(note);
        for (const QString &problem : result.problems)
            text += QStringLiteral("  %1\n").arg(problem);
    }
    return text;
}
