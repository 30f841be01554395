#include "FailureReason.h"

#include <cstdarg>
#include <cstdio>

namespace korrad {
namespace {

char reason[256] = "";

} // namespace

void clearFailure()
{
    reason[0] = '\0';
}

bool refuse(const char *format, ...)
{
    if (reason[0])
        return false;
    std::va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(reason, sizeof reason, format, arguments);
    va_end(arguments);
    return false;
}

const char *failureReason()
{
    return reason;
}

} // namespace korrad
