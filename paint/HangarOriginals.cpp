// The originals of the selected aircraft: the one-time backup, telling which
// row is installed, and every write over the main texture.
#include "Hangar.h"

#include "AircraftFileCheck.h"
#include "AircraftReview.h"
#include "AircraftLock.h"
#include "DiskSync.h"
#include "GameFiles.h"
#include "GameText.h"
#include "NativePath.h"
#include "NoReplaceRename.h"
#include "PaintApply.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// The first "NAME.bak.N" free in any letter case: an old original is never
// put where another file is.
QString nameForOldOriginal(const QString &backupPath)
{
    for (int n = 1;; ++n) {
        const QString candidate = backupPath + u'.' + QString::number(n);
        if (!AircraftFileCheck::entryExists(GameFiles::findGameFile(candidate)))
            return candidate;
    }
}

QByteArray oldOriginalName(const PaintTable &table)
{
    const QByteArray base = "Original before " + QDate::currentDate().toString(Qt::ISODate).toLatin1();
    QByteArray name = base;
    for (int n = 2;; ++n) {
        const bool taken = std::any_of(table.paints().cbegin(), table.paints().cend(),
                                       [&](const PaintEntry &paint) { return paint.name == name; });
        if (!taken)
            return name;
        name = base + " (" + QByteArray::number(n) + ')';
    }
}

} // namespace

PaintResult Hangar::keepOriginal()
{
    if (!hasSelection() || m_table.paints().isEmpty() || m_table.mainTexturePath().isEmpty())
        return PaintResult::success();
    AircraftLock lock(m_table.folder());
    if (!lock.acquire())
        return lock.refusal();
    if (const PaintResult backedUp = ensureBackup(m_table); !backedUp)
        return backedUp;
    return PaintResult::success(m_table.backupPath());
}

bool Hangar::hasBackup() const
{
    return hasSelection() && AircraftReview::hasBackup(m_table);
}

QString Hangar::installedLabel()
{
    if (const std::optional<int> row = installedRow()) {
        if (*row == PaintTable::DefaultRow)
            return QStringLiteral("original");
        return m_table.displayText(*row);
    }
    // Every apply makes the backup first, so without one nothing was ever
    // applied and the main texture is still the game's own.
    const QString installed = m_table.texturePath(PaintTable::InstalledRow);
    if (hasSelection() && !hasBackup() && !installed.isEmpty() && QFileInfo(installed).isFile())
        return QStringLiteral("original");
    return QStringLiteral("unknown");
}

std::optional<int> Hangar::installedRow()
{
    if (!hasSelection())
        return std::nullopt;
    return AircraftReview::installedRow(m_table, m_installed);
}

PaintResult Hangar::apply(int row, ChangedOriginal changed)
{
    if (!hasSelection() || row <= PaintTable::InstalledRow || row >= m_table.rowCount())
        return PaintResult::failure(QString(), QStringLiteral("There is no such paint row."));
    AircraftLock lock(m_table.folder());
    if (!lock.acquire())
        return lock.refusal();
    // The row's file, before an adoption adds a row and a merge with the
    // list on disk may renumber the rows.
    const QString source = m_table.texturePath(row);
    PaintResult applied = applyPaint(m_table, row, m_syncLater);
    QString adoptedNote;
    if (applied.changedOutside && changed == ChangedOriginal::Adopt) {
        const PaintResult adopted = adoptLocked();
        if (!adopted)
            return adopted;
        adoptedNote = adopted.note;
        applied = PaintResult::failure(m_table.mainTexturePath(),
                                       QStringLiteral("The paint is no longer in the paint list; nothing was applied."));
        for (int now = PaintTable::DefaultRow; now < m_table.rowCount(); ++now) {
            if (m_table.texturePath(now) == source) {
                applied = applyPaint(m_table, now, m_syncLater);
                break;
            }
        }
    }
    if (!applied)
        return applied;
    if (!adoptedNote.isEmpty())
        applied.note = adoptedNote + (applied.note.isEmpty() ? QString() : QStringLiteral("\n") + applied.note);
    return applied;
}

PaintResult Hangar::restore(ChangedOriginal changed)
{
    if (!hasSelection())
        return PaintResult::failure(QString(), QStringLiteral("No aircraft is selected."));
    const QString backup = GameFiles::findGameFile(m_table.backupPath());
    if (m_table.backupPath().isEmpty() || !QFileInfo(backup).isFile())
        return PaintResult::failure(m_table.backupPath(), QStringLiteral("There is no backup of the original texture."));
    return apply(PaintTable::DefaultRow, changed);
}

PaintResult Hangar::adopt()
{
    if (!hasSelection())
        return PaintResult::failure(QString(), QStringLiteral("No aircraft is selected."));
    if (!m_table.namesMainTexture())
        return PaintResult::failure(m_table.folder(), noMainTextureMessage());
    AircraftLock lock(m_table.folder());
    if (!lock.acquire())
        return lock.refusal();
    if (const PaintResult kept = keepMainTextureContent(m_table); !kept.changedOutside) {
        if (!kept)
            return kept;
        return PaintResult::success(m_table.mainTexturePath()); // known already, or backed up just now
    }
    return adoptLocked();
}

PaintResult Hangar::adoptLocked()
{
    const QString backup = GameFiles::findGameFile(m_table.backupPath());
    const QString aside = nameForOldOriginal(m_table.backupPath());
    const FileVerdict from = AircraftFileCheck::mayRead(m_table.folder(), backup);
    const FileVerdict to = AircraftFileCheck::mayWrite(m_table.folder(), aside);
    auto refused = [&](const QString &reason) {
        return PaintResult::failure(m_table.mainTexturePath(),
                                    QStringLiteral("The main texture could not be kept as the new original: %1\n\n"
                                                   "Nothing was overwritten.")
                                        .arg(reason));
    };
    if (!from)
        return refused(from.result.reason);
    if (!to)
        return refused(to.result.reason);

    // The old original moves aside first (never over anything), then the
    // main texture is copied to the backup's name: at every moment each
    // content is in its file.
    if (const PaintResult renamed = NoReplaceRename::rename(backup, aside); !renamed)
        return refused(QStringLiteral("%1 could not be renamed to %2: %3")
                           .arg(QDir::toNativeSeparators(backup), QDir::toNativeSeparators(aside), renamed.reason));
    if (const PaintResult copied = GameFiles::copyIfAbsent(m_table.folder(), m_table.mainTexturePath(), m_table.backupPath());
        !copied) {
        NoReplaceRename::rename(aside, backup);
        return refused(copied.reason);
    }
    DiskSync::syncFolder(m_table.folder());

    m_table.appendPaint(oldOriginalName(m_table), GameText::encode(NativePath::fileName(aside)));
    if (const PaintResult saved = saveLocked(); !saved) {
        return PaintResult::failure(saved.file, QStringLiteral("The main texture was kept as the new original and the "
                                                               "old one as\n%1\nbut the paint list could not list it: %2")
                                                    .arg(QDir::toNativeSeparators(aside), saved.reason));
    }
    PaintResult done = PaintResult::success(m_table.backupPath());
    done.note = QStringLiteral("The main texture is kept as the new original; the old one is the paint \"%1\".")
                    .arg(GameText::decode(m_table.paints().constLast().name));
    return done;
}
