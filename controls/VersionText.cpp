#include "VersionText.h"

#include <algorithm>

namespace corvane::controls {

QString versionNumberText(const corvane::platform::ProductVersion &version)
{
    return QString::number(version.mostSignificant >> 16) + QStringLiteral(".00.")
           + QString::number(version.leastSignificant);
}

QString libraryColumnText(const QString &libraryName)
{
    const qsizetype padding = std::max<qsizetype>(0, 12 - libraryName.size());
    return QString(padding, u' ') + QStringLiteral(" -   ");
}

QString libraryLine(const QString &libraryName, const std::optional<corvane::platform::ProductVersion> &version)
{
    return libraryName + libraryColumnText(libraryName)
           + (version ? versionNumberText(*version) : QStringLiteral("Not found"));
}

} // namespace corvane::controls
