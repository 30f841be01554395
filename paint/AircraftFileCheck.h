#pragma once

#include "PaintResult.h"

#include <QFileInfo>
#include <QString>

// The one place that decides whether a file of an aircraft may be read or
// written. Aircraft folders come from strangers' archives, which restore
// links, pipes and folders under any name, so a file is judged by what it
// really is at the moment of asking, never by the text of its name: ask right
// before opening, and open the real path the answer gives.
struct FileVerdict
{
    // The file as asked for and, when refused, the native path followed by
    // why ("... is not a regular file"), ready for the player as it is.
    PaintResult result = PaintResult::failure(QString(), QString());
    QString realPath; // where it really is, every link resolved; the path to open
    QString refusal;  // why alone, e.g. "is not a regular file", for a text that names the file elsewhere
    bool absent = false; // refused because nothing at all is at the path

    explicit operator bool() const { return result.ok; }
};

namespace AircraftFileCheck {

// A regular file whose real path lies inside the aircraft folder's real path.
FileVerdict mayRead(const QString &aircraftFolder, const QString &path);

// The same, or nothing at all at that path (a file to create) in a folder
// that really lies inside the aircraft folder. A link that leads nowhere is
// refused: writing through it would create its target, wherever that is.
FileVerdict mayWrite(const QString &aircraftFolder, const QString &path);

// One aircraft folder whose real path is resolved once, for the many checks
// a scan of it makes in a row; each file is still judged when asked about.
class Folder
{
public:
    explicit Folder(const QString &aircraftFolder);
    // A folder named straight inside `outer` by a listing that found it is
    // no link: its real path follows from the outer one's without asking
    // the disk again.
    Folder(const Folder &outer, const QString &name);
    QString folder() const { return m_folder; }
    FileVerdict mayRead(const QString &path) const;
    FileVerdict mayWrite(const QString &path) const;

private:
    QString m_folder;
    QString m_realFolder;
};

// Whether the folder, every link resolved, really lies inside the outer one.
bool folderLiesInside(const QString &outerFolder, const QString &folder);

// A link the file system follows (a symbolic link or a junction); shortcut
// files (.lnk) are ordinary files to every reader here.
bool isLink(const QFileInfo &info);

// Whether anything at all is at the path, a link that leads nowhere included.
bool entryExists(const QString &path);

} // namespace AircraftFileCheck
