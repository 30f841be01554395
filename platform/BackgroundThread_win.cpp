#include "BackgroundThread.h"

#include <windows.h>

bool moveThisThreadToBackground()
{
    return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL) != 0;
}
