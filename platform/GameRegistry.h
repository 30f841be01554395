#pragma once

#include <QString>

// The game's own install folder as its installer recorded it ("EXE Path"),
// as a native path; empty when there is no such entry. Under Wine, the first
// prefix whose entry names a folder that still exists. Never raises.
QString readGameInstallFolder();
