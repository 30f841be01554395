#pragma once

#include <QString>
#include <QStringView>

namespace corvane::controls {

// The pieces of a file name the launcher button shows and starts with.
struct LauncherFileName {
    QString extension; // upper case, dot included; empty when there is none
    QString caption;   // the file's name without folder and extension
    QString folder;    // up to and including the last separator
};

// The characters that end a folder part on this system: backslash, slash
// and the drive colon on Windows, the slash elsewhere.
QStringView launcherPathSeparators();

LauncherFileName splitLauncherFileName(const QString &fileName,
                                       QStringView separators = launcherPathSeparators());

} // namespace corvane::controls
