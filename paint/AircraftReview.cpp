#include "AircraftReview.h"

#include "AircraftFileCheck.h"
#include "GameFiles.h"
#include "GameText.h"
#include "TextureFormat.h"

#include <QFileInfo>

namespace AircraftReview {

QList<PaintResult> textureProblems(const PaintTable &table, const QString &paintListPath)
{
    QList<PaintResult> problems;
    if (table.mainTextureName().isEmpty()) {
        problems << PaintResult::failure(paintListPath, QStringLiteral("The paint list names no main texture."));
        return problems;
    }
    auto checkTexture = [&](int row, const QString &what) {
        const QString path = table.texturePath(row);
        if (path.isEmpty()) {
            problems << PaintResult::failure(paintListPath, QStringLiteral("%1 leads outside the aircraft's folder.").arg(what));
        } else if (!AircraftFileCheck::entryExists(path)) {
            problems << PaintResult::failure(path, QStringLiteral("%1 is missing.").arg(what));
        } else if (const FileVerdict verdict = AircraftFileCheck::mayRead(table.folder(), path); !verdict) {
            problems << verdict.result;
        } else if (const PaintResult loadable = TextureFormat::checkFile(verdict.realPath); !loadable) {
            problems << PaintResult::failure(path, loadable.reason);
        }
    };
    checkTexture(PaintTable::InstalledRow, QStringLiteral("The main texture"));
    for (int row = PaintTable::FirstPaintRow; row < table.rowCount(); ++row)
        checkTexture(row, QStringLiteral("The texture of paint \"%1\"").arg(table.displayText(row)));
    return problems;
}

bool hasBackup(const PaintTable &table)
{
    return table.isLoaded() && !table.backupPath().isEmpty()
           && QFileInfo(GameFiles::findGameFile(table.backupPath())).isFile();
}

std::optional<int> installedRow(const PaintTable &table, InstalledPaint &installed)
{
    if (!table.isLoaded() || table.texturePath(PaintTable::InstalledRow).isEmpty())
        return std::nullopt;
    QStringList candidates;
    for (int row = PaintTable::DefaultRow; row < table.rowCount(); ++row)
        candidates << table.texturePath(row);
    const std::optional<int> found =
        installed.find(table.folder(), table.texturePath(PaintTable::InstalledRow), candidates);
    if (!found)
        return std::nullopt;
    return PaintTable::DefaultRow + *found;
}

PaintResult changedOutsideProblem(const QString &mainTexturePath)
{
    return PaintResult::failure(mainTexturePath,
                                QStringLiteral("The main texture matches neither the backup nor any paint: "
                                               "it was changed outside Corvane, perhaps by a game patch."));
}

} // namespace AircraftReview

AircraftStatus AircraftStatus::of(const QString &paintListPath, InstalledPaint &installed)
{
    PaintTable table;
    if (const PaintResult loaded = PaintTable::load(paintListPath, table); !loaded) {
        AircraftStatus status;
        status.kind = Kind::Problem;
        status.problems << loaded;
        return status;
    }
    return of(table, paintListPath, installed);
}

AircraftStatus AircraftStatus::of(const PaintTable &table, const QString &paintListPath, InstalledPaint &installed)
{
    AircraftStatus status;
    status.problems = AircraftReview::textureProblems(table, paintListPath);
    if (!status.problems.isEmpty()) {
        status.kind = Kind::Problem;
        return status;
    }
    const std::optional<int> row = AircraftReview::installedRow(table, installed);
    if (!row) {
        // Without a backup nothing was ever applied: what is there is what
        // the aircraft came with.
        if (AircraftReview::hasBackup(table)) {
            status.kind = Kind::ChangedOutside;
            status.problems << AircraftReview::changedOutsideProblem(table.texturePath(PaintTable::InstalledRow));
        } else {
            status.kind = Kind::Original;
        }
        return status;
    }
    if (*row == PaintTable::DefaultRow) {
        status.kind = Kind::Original;
        return status;
    }
    status.kind = Kind::WearingPaint;
    status.paintName = table.displayText(*row);
    return status;
}

QString AircraftStatus::description() const
{
    switch (kind) {
    case Kind::Unknown:
        return QStringLiteral("Not looked at yet");
    case Kind::Original:
        return QStringLiteral("Original paint");
    case Kind::WearingPaint:
        return QStringLiteral("Wearing the paint \"%1\"").arg(paintName);
    case Kind::ChangedOutside:
        return QStringLiteral("Main texture changed outside Corvane");
    case Kind::Problem:
        break;
    }
    QStringList lines;
    for (const PaintResult &problem : problems)
        lines << problem.line();
    return QStringLiteral("Problem: ") + lines.join(u'\n');
}
