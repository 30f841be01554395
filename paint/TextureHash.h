#pragma once

#include <QString>

// The content hash a shared paint set names textures by. SHA-256 of the whole
// file: a sample would do to tell one's own paints apart (see InstalledPaint),
// but a set from another machine must not match a paint that differs
// anywhere. Files are only hashed when a set is exported or a shared one is
// matched, never when sets are saved or applied.
namespace TextureHash {

// Lower-case hexadecimal, or empty with the reason when the file may not be
// read (checked against the aircraft folder first) or reading failed.
QString sha256(const QString &aircraftFolder, const QString &path, QString *reason = nullptr);

} // namespace TextureHash
