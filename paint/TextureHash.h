#pragma once

#include "PaintResult.h"

#include <QString>

// The content hash a shared paint set names textures by. SHA-256 of the whole
// file: a sample would do to tell one's own paints apart (see InstalledPaint),
// but a set from another machine must not match a paint that differs
// anywhere. Files are only hashed when a set is exported or a shared one is
// matched, never when sets are saved or applied.
namespace TextureHash {

// Lower-case hexadecimal into hash; refused with the reason, hash untouched,
// when the file may not be read (checked against the aircraft folder first)
// or reading failed.
PaintResult sha256(const QString &aircraftFolder, const QString &path, QString &hash);

} // namespace TextureHash
