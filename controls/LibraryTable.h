#pragma once

#include <QList>
#include <QString>

namespace corvane::controls {

// One of the maker's shared libraries the About dialog reports on.
struct LibraryEntry {
    QString fileName;    // Windows name, at most 11 characters, ends in ".dll"
    QString description; // the file name, an empty line, then what it does
};

// The ten libraries, korrad.dll (the picture conversion the preview uses)
// first. No name is the start of another, so sorting lines that begin with
// the name keeps every library's rows together.
const QList<LibraryEntry> &libraryTable();

} // namespace corvane::controls
