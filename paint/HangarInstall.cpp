#include "Hangar.h"

#include "InstallSpool.h"
#include "PaintNote.h"

namespace {

PaintArchive::Limits limitsWith(const InstallProgress *progress)
{
    PaintArchive::Limits limits;
    limits.progress = progress;
    return limits;
}

} // namespace

InstallPlan Hangar::planInstall(const InstallRequest &request, const InstallProgress *progress) const
{
    return ::planInstall(request, m_aircraft, limitsWith(progress));
}

QList<AircraftInstallResult> Hangar::install(const InstallPlan &plan, const InstallProgress *progress)
{
    return carryOutPlan(plan, progress, nullptr);
}

QList<AircraftInstallResult> Hangar::installAsPlanned(const InstallRequest &request, InstallPlan *plan,
                                                      const InstallProgress *progress)
{
    InstallSpool spool(m_aircraft);
    *plan = ::planInstall(request, m_aircraft, limitsWith(progress), &spool);
    if (plan->cancelled)
        return {};
    return carryOutPlan(*plan, progress, &spool);
}

QList<AircraftInstallResult> Hangar::carryOutPlan(const InstallPlan &plan, const InstallProgress *progress,
                                                  InstallSpool *spool)
{
    // An aircraft Corvane has not seen yet gets its list before its paints.
    for (const InstallItem &item : plan.items) {
        if (item.selected && item.aircraft >= 0 && item.aircraft < m_aircraft.size())
            createPaintList(item.aircraft);
    }
    const QList<AircraftInstallResult> results = carryOut(plan, m_aircraft, limitsWith(progress), spool);
    for (const AircraftInstallResult &result : results) {
        if (result.aircraft == m_selected && !result.added.isEmpty()) {
            if (!select(m_selected))
                deselect();
        }
    }
    return results;
}

QString Hangar::paintNote(int row) const
{
    if (!hasSelection() || row < PaintTable::FirstPaintRow || row >= m_table.rowCount())
        return QString();
    return PaintNote::readFor(m_table.folder(), m_table.texturePath(row));
}
