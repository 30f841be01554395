#include "PaintImport.h"

#include "GameText.h"
#include "Hangar.h"
#include "InstallPlan.h"
#include "InstallWorker.h"
#include "PaintArchive.h"
#include "PaintRules.h"
#include "PickedTexture.h"
#include "PlayerMessage.h"
#include "TEditForm.h"
#include "TInstallForm.h"
#include "TextureInstaller.h"

#include <QDir>
#include <QLineEdit>

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
        runInstallWork(m_window, QStringLiteral("Reading the downloads…"), progress,
                       [this, &plan, &request, &progress] { plan = m_hangar.planInstall(request, &progress); });
        m_busy = false;
        if (plan.cancelled)
            return false;
    }
    if (plan.items.isEmpty()) {
        QStringList why = plan.refused;
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
    runInstallWork(m_window, QStringLiteral("Installing the paints…"), progress,
                   [this, &plan, &results, &progress] { results = m_hangar.install(plan, &progress); });
    m_busy = false;
    informPlayer(m_window, QStringLiteral("Installed:\n") + describeResults(results, m_hangar.aircraft()));
    return true;
}

std::optional<QString> PaintImport::bringIntoAircraftFolder(const QString &pickedPath)
{
    const QString folder = m_hangar.paintTable().folder();
    const PickedTexture picked = examinePickedTexture(folder, pickedPath);
    if (picked.kind == PickedTexture::Refused) {
        tellPlayer(m_window, picked.reason + QStringLiteral("\n\nNothing was added."));
        return std::nullopt;
    }
    if (picked.kind == PickedTexture::InAircraftFolder)
        return picked.fileName;

    QString fileName = picked.fileName;
    for (;;) {
        if (const QString problem = PaintRules::problemWithFileName(GameText::encode(fileName)); !problem.isEmpty()) {
            tellPlayer(m_window, problem + QStringLiteral("\n\nNothing was added."));
            return std::nullopt;
        }
        QString existing;
        switch (TextureInstaller::placementOf(folder, fileName, picked.data, &existing)) {
        case TextureInstaller::Placement::SameContent:
            return existing;
        case TextureInstaller::Placement::Free: {
            QString reason;
            if (TextureInstaller::writeNewTexture(folder, fileName, picked.data, &reason))
                return fileName;
            tellPlayer(m_window,
                       QStringLiteral("The texture could not be copied into the aircraft's folder:\n%1\n%2\n\nNothing was added.")
                           .arg(QDir::toNativeSeparators(folder + fileName), reason));
            return std::nullopt;
        }
        case TextureInstaller::Placement::Clash:
            break;
        }
        informPlayer(m_window, QStringLiteral("The aircraft's folder already holds a different file named %1.\n\n"
                                              "Enter another name for the copy.")
                                   .arg(existing));
        if (!m_editForm)
            return std::nullopt;
        m_editForm->Edit1->setText(TextureInstaller::proposeFileName(folder, fileName, picked.data));
        m_editForm->exec();
        if (m_editForm->OkPressed != 1)
            return std::nullopt;
        fileName = m_editForm->Edit1->text();
        if (fileName.contains(u'/') || fileName.contains(u'\\') || !PaintArchive::problemWithEntryPath(fileName).isEmpty()
            || fileName.isEmpty()) {
            tellPlayer(m_window, QStringLiteral("A file name cannot be empty, name a folder or hold characters Windows does not allow.\n\nNothing was added."));
            return std::nullopt;
        }
    }
}
