#pragma once

#include <QString>

// The folder Windows programs are installed under, with a trailing
// separator: the system drive on Windows, the Wine prefix's drive_c
// elsewhere. Empty when there is none.
QString systemDriveFolder();
