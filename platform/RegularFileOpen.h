#pragma once

#include <QFile>
#include <QString>

// Opens a file for reading only when it is a regular file. The type is judged
// on the opened handle, and the open itself never waits: a named pipe opened
// the ordinary way blocks until some writer appears, which may be never.
namespace RegularFileOpen {

// On failure the file stays closed and reason (if given) tells why: the
// system's own text, or "is not a regular file".
bool openForReading(QFile &file, QString *reason = nullptr);

// Whether the file opens for reading as a regular file; closed again at once.
// Cheaper than opening a QFile, for scans that only need to know.
bool canRead(const QString &path, QString *reason = nullptr);

// Reads a regular file whole, with as few calls to the system as it takes
// (a scan reads a thousand small lists). A file of more than `limit` bytes,
// measured before reading or while reading, is refused with `tooLarge` set
// and `bytes` empty.
bool readAll(const QString &path, qint64 limit, QByteArray &bytes, QString *reason = nullptr,
             bool *tooLarge = nullptr);

} // namespace RegularFileOpen
