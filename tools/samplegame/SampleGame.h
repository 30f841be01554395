#pragma once

#include <QString>

// Writes a small game folder to try Corvane on: a stand-in cfs3.exe and an
// Aircraft folder whose aircraft show the cases the tool must cope with.
namespace SampleGame {

// The folder is created; a folder left by an earlier run is replaced, any
// other folder that is not empty is refused.
bool write(const QString &gameFolder, QString *error);

} // namespace SampleGame
