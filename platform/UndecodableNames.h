#pragma once

#include <QString>
#include <QStringList>

// Entries of a folder whose names are bytes that are not UTF-8. Qt's own
// listings leave them out, since no text names them again; a player must
// still be told they are there. Each is given with its stray bytes shown
// as \xNN ("Caf\xE9"). Always empty on Windows, where names are text.
QStringList undecodableNames(const QString &folder);
