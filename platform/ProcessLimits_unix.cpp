#include "ProcessLimits.h"

#include <sys/resource.h>

namespace {

bool lowerLimit(int resource, rlim_t value)
{
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0)
        return false;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < value)
        value = limit.rlim_max;
    limit.rlim_cur = value;
    return setrlimit(resource, &limit) == 0;
}

} // namespace

bool limitThisProcess(int cpuSeconds, qint64 addressSpaceBytes)
{
    const bool cpu = lowerLimit(RLIMIT_CPU, rlim_t(cpuSeconds));
    const bool memory = lowerLimit(RLIMIT_AS, rlim_t(addressSpaceBytes));
    return cpu && memory;
}
