// Operations on many aircraft at once, for the collection.
#include "Hangar.h"

#include "DiskSync.h"

QList<Hangar::RestoreOutcome> Hangar::restoreAll(const QList<int> &indices, ChangedOriginal changed,
                                                 const WorkProgress *progress)
{
    const int previous = m_selected;
    QList<RestoreOutcome> outcomes;
    // One wait for the disk instead of one per aircraft: each original is
    // on the disk in its backup already.
    QStringList written;
    m_syncLater = &written;
    for (const int index : indices) {
        if (progress) {
            if (progress->isCancelled())
                break;
            progress->tell(int(outcomes.size()), int(indices.size()),
                           index >= 0 && index < m_aircraft.size() ? m_aircraft.at(index).title : QString());
        }
        RestoreOutcome outcome;
        outcome.index = index;
        outcome.result = select(index);
        if (!outcome.result) {
            outcomes.append(outcome);
            continue;
        }
        // Read byte for byte now: statuses the caller saw may be old. With
        // no backup nothing was ever applied, unless a paint is on.
        const std::optional<int> installed = installedRow();
        if (installed == PaintTable::DefaultRow || (!installed && !hasBackup())) {
            outcome.kind = RestoreOutcome::AlreadyOriginal;
            outcomes.append(outcome);
            continue;
        }
        outcome.result = restore(changed);
        outcome.kind = outcome.result ? RestoreOutcome::Restored : RestoreOutcome::Failed;
        outcomes.append(outcome);
    }
    m_syncLater = nullptr;
    if (const PaintResult synced = DiskSync::syncFiles(written); !synced) {
        for (RestoreOutcome &done : outcomes) {
            if (done.kind == RestoreOutcome::Restored)
                done.result.note +=
                    QStringLiteral("\nThe system could not confirm it is on the disk: %1").arg(synced.reason);
        }
    }
    if (previous >= 0)
        select(previous);
    else
        deselect();
    return outcomes;
}
