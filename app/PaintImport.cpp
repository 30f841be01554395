#include "PaintImport.h"

#include "Hangar.h"
#include "HangarWork.h"
#include "InstallPlan.h"
#include "PlayerMessage.h"
#include "TEditForm.h"
#include "TInstallForm.h"

#include <QLineEdit>

namespace {

QString installStopping()
{
    return QStringLiteral("Stopping; what was installed so far is kept…");
}

} // namespace

PaintImport::PaintImport(Hangar &hangar, QWidget *window)
    : m_hangar(hangar)
    , m_window(window)
    , m_installForm(new TInstallForm(window))
{
}

bool PaintImport::installDownloads(const QStringList &paths, int chosenAircraft, const QString &paintName)
{
    InstallPlan plan;
    {
        const InstallRequest request{paths, chosenAircraft, paintName};
        InstallProgress progress;
        m_busy = true;
        runHangarWork(m_window, QStringLiteral("Reading the downloads…"), progress, installStopping(),
                      [this, &plan, &request, &progress] { plan = m_hangar.planInstall(request, &progress); });
        m_busy = false;
        if (plan.cancelled)
            return false;
    }
    if (plan.items.isEmpty()) {
        QStringList why;
        for (const PaintResult &refusal : plan.refused)
            why.append(refusal.line());
        for (const SkippedEntry &skipped : std::as_const(plan.skipped))
            why.append(QStringLiteral("%1: %2").arg(skipped.source, skipped.reason));
        tellPlayer(m_window, QStringLiteral("Nothing to install: no texture was found.\n\n") + why.join(u'\n'));
        return false;
    }

    QStringList titles;
    for (const AircraftEntry &aircraft : m_hangar.aircraft())
        titles.append(aircraft.title);
    m_installForm->setPlan(plan, titles);
    if (m_installForm->exec() != QDialog::Accepted)
        return false;
    plan = m_installForm->plan();

    QList<AircraftInstallResult> results;
    InstallProgress progress;
    m_busy = true;
    runHangarWork(m_window, QStringLiteral("Installing the paints…"), progress, installStopping(),
                  [this, &plan, &results, &progress] { results = m_hangar.install(plan, &progress); });
    m_busy = false;
    informPlayer(m_window, QStringLiteral("Installed:\n") + describeResults(results, m_hangar.aircraft()));
    return true;
}

std::optional<PaintResult> PaintImport::addPicked(const QByteArray &name, const QString &pickedPath)
{
    PaintResult added = m_hangar.addPaint(name, pickedPath);
    while (added.nameTaken) {
        // A different file has the picked file's name: the copy takes another.
        informPlayer(m_window, added.reason + QStringLiteral("\n\nEnter another name for the copy."));
        if (!m_editForm)
            return std::nullopt;
        m_editForm->Edit1->setText(added.freeName);
        m_editForm->exec();
        if (m_editForm->OkPressed != 1)
            return std::nullopt;
        added = m_hangar.addPaint(name, pickedPath, m_editForm->Edit1->text());
    }
    return added;
}
