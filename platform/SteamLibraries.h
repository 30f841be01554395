#pragma once

#include <QByteArray>
#include <QStringList>

// The library folders that Steam lists in steamapps/libraryfolders.vdf, in
// file order. Reads both the current form ("0" { "path" "..." }) and the old
// one ("1" "..."). Text that is not a readable key-value file gives what was
// read before the fault, never an error: a broken file only hides folders.
QStringList steamLibraryFoldersIn(const QByteArray &vdfText);
