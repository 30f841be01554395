#pragma once

#include "FileVersion.h"

#include <QString>

#include <optional>

namespace corvane::controls {

// major + ".00." + the whole least significant word as one number: the minor
// number is not shown, and build and revision read as one 32-bit value
// (3.0.0.2 -> "3.00.2", 1.2.3.4 -> "1.00.196612").
QString versionNumberText(const corvane::platform::ProductVersion &version);

// The gap that lines the versions up in a fixed-pitch list: 12 minus the
// name's length in spaces (none from 12 on), then " -   ".
QString libraryColumnText(const QString &libraryName);

// One line of the library list: name, column gap, then the version number
// or "Not found".
QString libraryLine(const QString &libraryName, const std::optional<corvane::platform::ProductVersion> &version);

} // namespace corvane::controls
