#pragma once

#include "PaintResult.h"

#include <QFile>
#include <QString>

// Opens a file for reading only when it is a regular file. The type is judged
// on the opened handle, and the open itself never waits: a named pipe opened
// the ordinary way blocks until some writer appears, which may be never.
namespace RegularFileOpen {

// On failure the file stays closed and the reason tells why: the system's
// own text, or "is not a regular file".
PaintResult openForReading(QFile &file);

// Whether the file opens for reading as a regular file; closed again at once.
// Cheaper than opening a QFile, for scans that only need to know.
PaintResult canRead(const QString &path);

// Reads a regular file whole, with as few calls to the system as it takes
// (a scan reads a thousand small lists). A file of more than `limit` bytes,
// measured before reading or while reading, is refused with `tooLarge` set
// and `bytes` empty (the caller words that refusal, knowing its limit).
PaintResult readAll(const QString &path, qint64 limit, QByteArray &bytes, bool *tooLarge = nullptr);

} // namespace RegularFileOpen
