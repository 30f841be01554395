#include "BackgroundThread.h"

#include <algorithm>
#include <cerrno>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// Enough for the window to win the processor several times over, not so
// much that the work stops when the machine is busy with other programs.
constexpr int backgroundSteps = 5;
constexpr int weakestNice = 19;
} // namespace

bool moveThisThreadToBackground()
{
#ifdef SYS_gettid
    // Measured from the process's first thread (Linux keeps a nice value
    // per thread), so a pool thread asked once per task is lowered once.
    errno = 0;
    const int processNice = getpriority(PRIO_PROCESS, id_t(getpid()));
    if (processNice == -1 && errno != 0)
        return false;
    const auto thread = id_t(syscall(SYS_gettid));
    return setpriority(PRIO_PROCESS, thread, std::min(weakestNice, processNice + backgroundSteps)) == 0;
#else
    return false;
#endif
}
