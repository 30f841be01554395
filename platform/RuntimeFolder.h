#pragma once

#include <QString>

// Where a user's programs keep small files that only matter while they run
// (lock files): shared by every Corvane process of the user, whatever the
// program's name. No trailing separator; created when missing.
QString userRuntimeFolder();
