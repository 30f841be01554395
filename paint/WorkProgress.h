#pragma once

#include <QString>

#include <atomic>
#include <functional>

// How far a long hangar operation has got (an install, a restore of every
// aircraft, a set applied), and the player's wish to stop it. It runs on a
// worker thread while the window or the terminal shows the progress, so
// `cancelled` is set from another thread and `report` is called on the
// worker's: it must not touch widgets directly.
struct WorkProgress
{
    std::atomic<bool> cancelled{false};
    // done of total steps (downloads read, textures placed, aircraft
    // handled); total 0 when unknown; the name of the current one.
    std::function<void(int done, int total, const QString &current)> report;

    bool isCancelled() const { return cancelled.load(std::memory_order_relaxed); }
    void tell(int done, int total, const QString &current) const
    {
        if (report)
            report(done, total, current);
    }
};
