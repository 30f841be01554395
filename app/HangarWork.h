#pragma once

#include "WorkProgress.h"

#include <QString>

#include <functional>

class QWidget;

// Runs slow work on the hangar (reading archives, writing textures for an
// install, a restore or a set) on a worker thread while the window's event
// loop keeps turning. Past half a second a cancellable progress dialog shows,
// modal for every window; before that, the player's input waits, so nothing
// reaches the hangar the worker is using. `work` must not touch widgets; `stopping`
// is what the dialog says once Cancel was pressed. Returns once the work has
// ended, with progress.cancelled set when the player cancelled it.
void runHangarWork(QWidget *parent, const QString &label, WorkProgress &progress, const QString &stopping,
                   const std::function<void()> &work);
