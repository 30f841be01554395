#pragma once

#include "PaintResult.h"

#include <QFileDevice>
#include <QString>
#include <QStringList>

// Asks the system to put written data on the disk itself, so a rename that
// follows never lands before the contents after a power cut.
namespace DiskSync {

PaintResult syncFile(QFileDevice &file);

// Asks the system to start writing these bytes of the file to the disk now,
// without waiting for it: a sync that comes later then finds most of the
// work done, while the writer went on. Does nothing where the system
// cannot be asked.
void startWriting(QFileDevice &file, qint64 from, qint64 length);

// Makes the folder's entries (a rename into it) durable. Does nothing where
// the system keeps folder entries durable by itself.
PaintResult syncFolder(const QString &folder);

// Makes many files written without a sync of their own durable, with their
// names, as cheaply as the system allows: where it can, one sync of each file
// system they lie on instead of waiting for the disk once per file. A failure
// names a file that could not be synced.
PaintResult syncFiles(const QStringList &paths);

} // namespace DiskSync
