#pragma once

#include <QString>

#include <atomic>
#include <functional>

// How far a plan or an install has got, and the player's wish to stop it.
// Both run on a worker thread while the window or the terminal shows the
// progress, so `cancelled` is set from another thread and `report` is called
// on the worker's: it must not touch widgets directly.
struct InstallProgress
{
    std::atomic<bool> cancelled{false};
    // done of total steps (downloads read while planning, textures placed
    // while installing); total 0 when unknown; the name of the current one.
    std::function<void(int done, int total, const QString &current)> report;

    bool isCancelled() const { return cancelled.load(std::memory_order_relaxed); }
    void tell(int done, int total, const QString &current) const
    {
        if (report)
            report(done, total, current);
    }
};

// The reason a cancelled read gives, so a cancel is told from a refusal.
inline QString cancelledReason()
{
    return QStringLiteral("the install was cancelled");
}
