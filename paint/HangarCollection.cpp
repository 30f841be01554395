// Operations on many aircraft at once, for the collection.
#include "Hangar.h"

QList<Hangar::RestoreOutcome> Hangar::restoreAll(const QList<int> &indices, ChangedOriginal changed)
{
    const int previous = m_selected;
    QList<RestoreOutcome> outcomes;
    for (const int index : indices) {
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
    if (previous >= 0)
        select(previous);
    else
        deselect();
    return outcomes;
}
