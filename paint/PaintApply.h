#pragma once

#include <QString>

class PaintTable;

// Puts the texture of one paint row in place of the aircraft's main texture.
// The original main texture is backed up first, once; the replacement is
// atomic, so the game never finds half a texture. Gives an empty text on
// success, else the message for the player, naming the file and the reason.
QString applyPaint(const PaintTable &table, int row);

// Makes the one-time backup of the main texture when it exists and has none
// yet. Empty text when there is a sound backup now (or nothing to back up),
// else why the main texture may not be overwritten: the backup could not be
// made, or what is at the backup's name is not a backup Corvane can trust.
QString ensureBackup(const PaintTable &table);

// Why the list's main texture may never be written at all (it names the
// aircraft's paint list, its definition, or a backup), or an empty text.
QString mainTextureProblem(const PaintTable &table);
