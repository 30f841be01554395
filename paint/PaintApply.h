#pragma once

#include "PaintResult.h"

#include <QString>
#include <QStringList>

class PaintTable;

// Puts the texture of one paint row in place of the aircraft's main texture.
// The main texture is overwritten only when its content exists elsewhere in
// the folder, byte for byte: the backup (made now when there is none) or a
// listed paint. Only a DDS texture the game can load goes over it. The
// replacement is atomic, so the game never finds half a texture. The result
// concerns the main texture; a failure's reason is the message for the
// player, naming the file at fault and why. changedOutside is set when
// nothing was written because the main texture holds content found nowhere
// else (an updated aircraft, a paint edited in place): it has to be kept as
// the new original first. A success's note tells of a paint whose size or
// format differs from the original's. With syncLater, the main texture is
// not forced to the disk
// here but its path is added there, for one sync after many applies: its old
// content is on the disk elsewhere already, so a power cut on the way costs
// at worst the new copy, never the original.
PaintResult applyPaint(const PaintTable &table, int row, QStringList *syncLater = nullptr);

// The rule every write over the main texture keeps: its content must exist
// elsewhere in the aircraft folder first. Makes the one-time backup when
// there is none; fails when the content is not kept, with changedOutside
// set when it is content found nowhere else.
PaintResult keepMainTextureContent(const PaintTable &table);

// The message for a main texture that changed outside Corvane.
QString changedOutsideMessage(const QString &mainTexturePath);

// Why nothing can be applied to an aircraft whose list names no main
// texture, and how the player mends it.
QString noMainTextureMessage();

// Makes the one-time backup of the main texture when it exists and has none
// yet. Succeeds when there is a sound backup now (or nothing to back up),
// else says why the main texture may not be overwritten: the backup could
// not be made, or what is at the backup's name is not a backup Corvane can
// trust.
PaintResult ensureBackup(const PaintTable &table);
