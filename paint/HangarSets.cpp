// Paint sets on the hangar: saving what the aircraft wear, applying a set
// through the single apply, restoring every aircraft, and matching a set made
// on another machine.
#include "Hangar.h"

#include "DiskSync.h"
#include "GameText.h"
#include "TextureHash.h"

#include <QFileInfo>

namespace {

using Kind = SetOutcome::Kind;

SetOutcome outcome(Kind kind, const PaintChoice &choice, const PaintResult &result = PaintResult::success())
{
    return SetOutcome{kind, choice.aircraftLabel(), choice.original ? QStringLiteral("original") : choice.paint, result};
}

QString noAircraftHere(const PaintChoice &choice)
{
    return QStringLiteral("There is no aircraft in a folder called \"%1\" here.").arg(choice.folder);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<int> Hangar::wornRow()
{
    if (const std::optional<int> row = installedRow())
        return row;
    // Every apply makes the backup first, so without one nothing was ever
    // applied and the main texture is still the aircraft's own.
    const QString installed = m_table.texturePath(PaintTable::InstalledRow);
    if (hasSelection() && !hasBackup() && !installed.isEmpty() && QFileInfo(installed).isFile())
        return PaintTable::DefaultRow;
    return std::nullopt;
}

bool Hangar::wears(int row)
{
    const QString installed = m_table.texturePath(PaintTable::InstalledRow);
    if (row == PaintTable::DefaultRow && !hasBackup())
        return !installed.isEmpty() && QFileInfo(installed).isFile();
    // Only the one file is compared: a paint that differs from the main
    // texture mostly does so in its first bytes, so this reads little.
    return m_installed.find(m_table.folder(), installed, {m_table.texturePath(row)}).has_value();
}

QHash<QString, QList<int>> Hangar::aircraftByFolder() const
{
    QHash<QString, QList<int>> byFolder;
    for (int index = 0; index < m_aircraft.size(); ++index)
        byFolder[folderNameOf(index).toCaseFolded()] << index;
    return byFolder;
}

int Hangar::aircraftOf(const PaintChoice &choice, const QHash<QString, QList<int>> &byFolder) const
{
    const QList<int> inFolder = byFolder.value(choice.folder.toCaseFolded());
    QList<int> byTitle;
    for (int index : std::as_const(inFolder)) {
        if (!choice.definition.isEmpty() && sameName(baseNameOf(index), choice.definition))
            return index;
        if (m_aircraft.at(index).title == choice.title)
            byTitle << index;
    }
    if (choice.definition.isEmpty() && inFolder.size() == 1)
        return inFolder.constFirst();
    return byTitle.size() == 1 ? byTitle.constFirst() : -1;
}

PaintChoice Hangar::choiceFor(int index, int row) const
{
    PaintChoice choice;
    choice.folder = folderNameOf(index);
    choice.definition = baseNameOf(index);
    choice.title = m_aircraft.at(index).title;
    choice.original = row == PaintTable::DefaultRow;
    if (!choice.original) {
        const PaintEntry &paint = m_table.paints().at(row - PaintTable::FirstPaintRow);
        choice.paint = GameText::decode(paint.name);
        choice.textureFile = GameText::decode(paint.texture);
    }
    return choice;
}

PaintResult Hangar::rowFor(const PaintChoice &choice, int &found)
{
    const auto take = [&](int row) {
        found = row;
        return PaintResult::success(m_table.texturePath(row));
    };
    const auto missing = [&](const QString &why) { return PaintResult::failure(m_table.folder(), why); };
    if (choice.original)
        return take(PaintTable::DefaultRow);
    auto named = [&](int row) {
        const PaintEntry &paint = m_table.paints().at(row - PaintTable::FirstPaintRow);
        return GameText::decode(paint.name) == choice.paint && sameName(GameText::decode(paint.texture), choice.textureFile);
    };
    if (!choice.isShared()) {
        for (int row = PaintTable::FirstPaintRow; row < m_table.rowCount(); ++row) {
            if (named(row))
                return take(row);
        }
        return missing(QStringLiteral("The aircraft has no paint \"%1\" with the texture %2.")
                           .arg(choice.paint, choice.textureFile));
    }

    // By content: the paint of that name first, then any other of the same
    // size, so only files that can match are read whole.
    QList<int> candidates;
    for (int row = PaintTable::FirstPaintRow; row < m_table.rowCount(); ++row) {
        if (QFileInfo(m_table.texturePath(row)).size() == choice.size)
            named(row) ? candidates.prepend(row) : candidates.append(row);
    }
    for (int row : std::as_const(candidates)) {
        // One that cannot be read is simply no match.
        if (QString hash; TextureHash::sha256(m_table.folder(), m_table.texturePath(row), hash) && hash == choice.sha256)
            return take(row);
    }
    bool sameNameHere = false;
    for (int row = PaintTable::FirstPaintRow; row < m_table.rowCount(); ++row)
        sameNameHere = sameNameHere || named(row);
    return missing(sameNameHere
                       ? QStringLiteral("The paint \"%1\" here has another texture than the one in the set; no paint "
                                        "of this aircraft has that texture.")
                             .arg(choice.paint)
                       : QStringLiteral("The texture of the paint \"%1\" (%2) is not on this machine: install it first.")
                             .arg(choice.paint, choice.textureFile));
}

PaintSet Hangar::currentSet(const QString &name, const QList<int> &only, SetReport *report)
{
    SetReport ignored;
    if (!report)
        report = &ignored;
    PaintSet set{name, {}};
    QList<int> chosen = only;
    if (chosen.isEmpty()) {
        for (int index = 0; index < m_aircraft.size(); ++index)
            chosen << index;
    }
    for (int index : std::as_const(chosen)) {
        PaintChoice aircraft;
        aircraft.folder = folderNameOf(index);
        aircraft.title = m_aircraft.at(index).title;
        if (const PaintResult selected = select(index); !selected) {
            report->outcomes << outcome(Kind::Refused, aircraft, selected);
            continue;
        }
        const std::optional<int> row = wornRow();
        if (!row) {
            PaintResult left = PaintResult::failure(
                m_table.mainTexturePath(),
                QStringLiteral("The main texture matches neither the backup nor any paint (changed outside Corvane), "
                               "so the aircraft is left out of the set."));
            left.changedOutside = hasBackup();
            report->outcomes << outcome(Kind::Refused, aircraft, left);
            continue;
        }
        const PaintChoice choice = choiceFor(index, *row);
        set.choices << choice;
        report->outcomes << outcome(Kind::Listed, choice);
    }
    deselect();
    return set;
}

SetReport Hangar::applySet(const PaintSet &set, ChangedOriginal changed, const WorkProgress *progress)
{
    SetReport report;
    const QHash<QString, QList<int>> byFolder = aircraftByFolder();
    // One wait for the disk instead of one per aircraft.
    QStringList written;
    m_syncLater = &written;
    for (const PaintChoice &choice : set.choices) {
        if (progress) {
            if (progress->isCancelled())
                break;
            progress->tell(int(report.outcomes.size()), int(set.choices.size()), choice.aircraftLabel());
        }
        const int index = aircraftOf(choice, byFolder);
        if (index < 0) {
            report.outcomes << outcome(Kind::MissingAircraft, choice,
                                       PaintResult::failure(QString(), noAircraftHere(choice)));
            continue;
        }
        if (const PaintResult selected = select(index); !selected) {
            report.outcomes << outcome(Kind::Refused, choice, selected);
            continue;
        }
        int row = -1;
        if (const PaintResult found = rowFor(choice, row); !found) {
            report.outcomes << outcome(Kind::MissingPaint, choice, found);
            continue;
        }
        if (wears(row)) {
            report.outcomes << outcome(Kind::AlreadyOn, choice, PaintResult::success(m_table.mainTexturePath()));
            continue;
        }
        const PaintResult applied = apply(row, changed);
        report.outcomes << outcome(applied ? Kind::Applied : Kind::Refused, choice, applied);
    }
    m_syncLater = nullptr;
    deselect();
    if (const PaintResult synced = DiskSync::syncFiles(written); !synced) {
        for (SetOutcome &done : report.outcomes) {
            if (done.kind == Kind::Applied)
                done.result.note += QStringLiteral("\nThe system could not confirm it is on the disk: %1").arg(synced.reason);
        }
    }
    return report;
}

QList<int> Hangar::aircraftToRestore()
{
    QList<int> chosen;
    for (int index = 0; index < m_aircraft.size(); ++index) {
        if (select(index) && hasBackup() && wornRow() != PaintTable::DefaultRow)
            chosen << index;
    }
    deselect();
    return chosen;
}

PaintSet Hangar::shareable(const PaintSet &set, SetReport *report)
{
    SetReport ignored;
    if (!report)
        report = &ignored;
    PaintSet shared{set.name, {}};
    const QHash<QString, QList<int>> byFolder = aircraftByFolder();
    for (PaintChoice choice : set.choices) {
        if (choice.original || choice.isShared()) {
            shared.choices << choice;
            report->outcomes << outcome(Kind::Listed, choice);
            continue;
        }
        const int index = aircraftOf(choice, byFolder);
        PaintResult found = PaintResult::failure(QString(), noAircraftHere(choice));
        int row = -1;
        if (index >= 0) {
            found = select(index);
            if (found)
                found = rowFor(choice, row);
        }
        if (!found) {
            report->outcomes << outcome(index < 0 ? Kind::MissingAircraft : Kind::MissingPaint, choice,
                                        PaintResult::failure(QString(), found.reason + QStringLiteral(" It is left out.")));
            continue;
        }
        const QString path = m_table.texturePath(row);
        if (const PaintResult hashed = TextureHash::sha256(m_table.folder(), path, choice.sha256); !hashed) {
            report->outcomes << outcome(Kind::Refused, choice, PaintResult::failure(path, hashed.reason));
            continue;
        }
        choice.size = QFileInfo(path).size();
        shared.choices << choice;
        report->outcomes << outcome(Kind::Listed, choice, PaintResult::success(path));
    }
    deselect();
    return shared;
}

PaintSet Hangar::matchHere(const PaintSet &shared, SetReport *report)
{
    SetReport ignored;
    if (!report)
        report = &ignored;
    PaintSet here{shared.name, {}};
    const QHash<QString, QList<int>> byFolder = aircraftByFolder();
    for (const PaintChoice &choice : shared.choices) {
        here.choices << choice;
        const int index = aircraftOf(choice, byFolder);
        if (index < 0) {
            report->outcomes << outcome(Kind::MissingAircraft, choice,
                                        PaintResult::failure(QString(), noAircraftHere(choice)));
            continue;
        }
        if (const PaintResult selected = select(index); !selected) {
            report->outcomes << outcome(Kind::Refused, choice, selected);
            continue;
        }
        int row = -1;
        if (const PaintResult found = rowFor(choice, row); !found) {
            report->outcomes << outcome(Kind::MissingPaint, choice, found);
            continue;
        }
        // Found by content: from now on it is this machine's paint, named as
        // its list names it.
        here.choices.last() = choiceFor(index, row);
        report->outcomes << outcome(Kind::Listed, here.choices.last(), PaintResult::success(m_table.texturePath(row)));
    }
    deselect();
    return here;
}
