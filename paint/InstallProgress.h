#pragma once

#include "WorkProgress.h"

#include <QString>

// An install reports and stops as every long hangar operation does.
using InstallProgress = WorkProgress;

// The reason a cancelled read gives, so a cancel is told from a refusal.
inline QString cancelledReason()
{
    return QStringLiteral("the install was cancelled");
}
