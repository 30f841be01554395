#pragma once

#include <QFileDevice>
#include <QString>

// Asks the system to put written data on the disk itself, so a rename that
// follows never lands before the contents after a power cut.
namespace DiskSync {

bool syncFile(QFileDevice &file, QString *reason = nullptr);

// Makes the folder's entries (a rename into it) durable. Does nothing where
// the system keeps folder entries durable by itself.
bool syncFolder(const QString &folder, QString *reason = nullptr);

} // namespace DiskSync
