#include "ProgramVersion.h"

#include "BuildVersion.h"

#include <QCoreApplication>

namespace corvane::controls {

std::optional<corvane::platform::ProductVersion> programProductVersion()
{
#ifdef Q_OS_WIN
    return corvane::platform::fileProductVersion(QCoreApplication::applicationFilePath());
#else
    return corvane::platform::ProductVersion::fromParts(build::versionMajor, build::versionMinor,
                                                        build::versionPatch, build::versionTweak);
#endif
}

} // namespace corvane::controls
