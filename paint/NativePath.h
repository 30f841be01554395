#pragma once

#include <QString>

// Paths as the system writes them. Folders end with one separator whenever
// they are not empty, so file paths are built by plain concatenation; on
// Windows a drive's colon ends a folder part too ("C:file").
namespace NativePath {

bool isSeparator(QChar c);

// The native form of a folder, with its one trailing separator.
QString withTrailingSeparator(const QString &folder);

// Up to and including the last separator; empty for a bare name.
QString folderOf(const QString &path);

// The final component: what follows the last separator.
QString fileName(const QString &path);

// A file name (no folders) without its extension: up to its last dot, the
// whole name when it has none (".pnt" leaves the empty name of an aircraft
// whose definition is ".xdp").
QString withoutExtension(const QString &fileName);

} // namespace NativePath
