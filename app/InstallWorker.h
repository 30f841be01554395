#pragma once

#include "InstallProgress.h"

#include <QString>

#include <functional>

class QWidget;

// Runs slow install work (reading archives, writing textures) on a worker
// thread while the window's event loop keeps turning. Past half a second a
// window-modal, cancellable progress dialog shows; before that, the
// player's input waits, so nothing reaches the hangar the worker is using.
// `work` must not touch widgets. Returns once the work has ended, with
// progress.cancelled set when the player cancelled it.
void runInstallWork(QWidget *parent, const QString &label, InstallProgress &progress,
                    const std::function<void()> &work);
