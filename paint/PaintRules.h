#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What the paint list may hold without harm. Lists come with downloaded
// aircraft, and names typed by the player end up as lines of the list.
namespace PaintRules {

// A texture value must name a file of the aircraft's folder or of one of its
// subfolders: no absolute path, no drive letter, no ".." component.
bool staysInAircraftFolder(const QByteArray &textureValue);

// Why a paint name (as stored) would corrupt the list when read back, or an
// empty text when it is fine. Empty and duplicate names are fine.
QString problemWithName(const QByteArray &name);

// The same for a picked texture file name, with the names Windows cannot
// hold (problemWithWindowsName) refused too.
QString problemWithFileName(const QByteArray &fileName);

// The file names of an aircraft's original: the main texture's (as the list
// value names it, and as a first list would name it after the list file)
// and their backups'. A texture brought in under one of them would become
// the original, or the backup made from it. Compared in any letter case.
QStringList originalTextureNames(const QString &paintListPath, const QByteArray &mainTextureValue);

// Why Windows could not hold a file of this name, on any system: the names
// it keeps for devices (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any
// extension and in any letter case) and names ending in a dot or a space.
// The reason names the file; empty when the name is fine.
QString problemWithWindowsName(const QString &fileName);

} // namespace PaintRules
