// Getting downloaded paints into the game: archives and textures dropped on
// the window or picked for "Add new Texture".
#include "TRezidu.h"

#include "FocusedWindow.h"
#include "InstallPlan.h"
#include "InstallWorker.h"
#include "PaintArchive.h"
#include "SectionName.h"
#include "TEditForm.h"
#include "TInstallForm.h"
#include "TextureFile.h"

#include <QDir>
#include <QFileInfo>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>

namespace {

QStringList downloadsIn(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty()
            && (PaintArchive::isArchiveFileName(path) || TextureFile::hasTextureExtension(path)
                || QFileInfo(path).isDir()))
            paths.append(path);
    }
    return paths;
}

} // namespace

void TRezidu::dragEnterEvent(QDragEnterEvent *event)
{
    if (!m_hangar.aircraft().isEmpty() && !downloadsIn(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TRezidu::dropEvent(QDropEvent *event)
{
    const QStringList paths = downloadsIn(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // Dropped on the paint rows, the textures are for the aircraft shown.
    const QPoint onPaints = OutList->mapFrom(this, event->position().toPoint());
    const bool forShownAircraft = m_hangar.hasSelection() && OutList->rect().contains(onPaints);
    // The plan is shown once the drop is over: a dialog opened inside the
    // drop would keep the file manager waiting in its drag until it closed.
    const int chosen = forShownAircraft ? AircraftIndex : -1;
    QMetaObject::invokeMethod(this, [this, paths, chosen] { installDownloads(paths, chosen); }, Qt::QueuedConnection);
}

void TRezidu::installDownloads(const QStringList &paths, int chosenAircraft, const QString &paintName)
{
    InstallPlan plan;
    {
        const InstallRequest request{paths, chosenAircraft, paintName};
        InstallProgress progress;
        m_hangarBusy = true;
        runInstallWork(this, QStringLiteral("Reading the downloads…"), progress,
                       [this, &plan, &request, &progress] { plan = m_hangar.planInstall(request, &progress); });
        m_hangarBusy = false;
        if (plan.cancelled)
            return;
    }
    if (plan.items.isEmpty()) {
        QStringList why = plan.refused;
        for (const SkippedEntry &skipped : std::as_const(plan.skipped))
            why.append(QStringLiteral("%1: %2").arg(skipped.source, skipped.reason));
        tell(QStringLiteral("Nothing to install: no texture was found.\n\n") + why.join(u'\n'));
        return;
    }

    QStringList titles;
    for (const AircraftEntry &aircraft : m_hangar.aircraft())
        titles.append(aircraft.title);
    m_installForm->setPlan(plan, titles);
    if (m_installForm->exec() != QDialog::Accepted)
        return;
    plan = m_installForm->plan();

    const bool shownBefore = m_hangar.hasSelection();
    QList<AircraftInstallResult> results;
    InstallProgress progress;
    m_hangarBusy = true;
    runInstallWork(this, QStringLiteral("Installing the paints…"), progress,
                   [this, &plan, &results, &progress] { results = m_hangar.install(plan, &progress); });
    m_hangarBusy = false;
    if (shownBefore)
        showInstalledPaints();
    QMessageBox::information(focusedWindow(this), SectionName,
                             QStringLiteral("Installed:\n") + describeResults(results, m_hangar.aircraft()));
}

// The rows that were there keep their places; the selection and preview stay.
void TRezidu::showInstalledPaints()
{
    if (!m_hangar.hasSelection()) {
        forgetPaintTable();
        return;
    }
    QList<int> selected;
    for (int row = 0; row < OutList->count(); ++row) {
        if (OutList->item(row)->isSelected())
            selected.append(row);
    }
    const int current = OutList->currentRow();
    showPaintTable();
    const QSignalBlocker quiet(OutList);
    if (current >= 0 && current < OutList->count())
        OutList->setCurrentRow(current, QItemSelectionModel::NoUpdate);
    for (int row : selected) {
        if (row < OutList->count())
            OutList->item(row)->setSelected(true);
    }
}

