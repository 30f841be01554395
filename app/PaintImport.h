#pragma once

#include "PaintResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class Hangar;
class QWidget;
class TEditForm;
class TInstallForm;

// The window's step for getting paints into the game through the core:
// downloads are planned on a worker, the plan is shown for the player to
// change, then carried out on a worker; a texture picked for "Add new
// Texture" is added, with a new name for its copy when its own is taken. What the window shows
// afterwards is the window's business.
class PaintImport
{
public:
    PaintImport(Hangar &hangar, QWidget *window);

    void setEditForm(TEditForm *editForm) { m_editForm = editForm; }
    TInstallForm *installForm() const { return m_installForm; }
    // A worker plans or installs with the hangar: nothing else may use it.
    bool busy() const { return m_busy; }

    // The chosen aircraft (an aircraft's index, or -1 to match each texture)
    // and the paint name (empty for names made from the file names) go to
    // the plan. True when anything was installed.
    bool installDownloads(const QStringList &paths, int chosenAircraft, const QString &paintName = QString());

    // Adds the picked texture as a paint of the selected aircraft through the
    // core; when a different file has its name, the player is asked for
    // another name for the copy. Nothing when the player cancelled that.
    std::optional<PaintResult> addPicked(const QByteArray &name, const QString &pickedPath);

private:
    Hangar &m_hangar;
    QWidget *m_window;
    TEditForm *m_editForm = nullptr;
    TInstallForm *m_installForm;
    bool m_busy = false;
};
