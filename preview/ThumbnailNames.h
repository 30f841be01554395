#pragma once

#include <QString>

// The names the preview derives from a picture's path.
namespace ThumbnailNames {

// Everything after the last folder separator (or drive colon), extension kept.
QString fileNamePart(const QString &path);

// The extension with its dot, from the last "." of the file-name part; empty
// when there is none.
QString extension(const QString &path);

// The path with its extension replaced by "._tm". A non-empty cache folder is
// put straight in front of the file-name part, with no separator added, so a
// folder meant as such ends with one.
QString cacheFileName(const QString &path, const QString &cacheDirectory);

} // namespace ThumbnailNames
