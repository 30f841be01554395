#pragma once

#include <QString>

class PaintTable;

// Puts the texture of one paint row in place of the aircraft's main texture.
// The original main texture is backed up first, once; the replacement is
// atomic, so the game never finds half a texture. Gives an empty text on
// success, else the message for the player, naming the file and the reason.
QString applyPaint(const PaintTable &table, int row);

// Why nothing can be applied to an aircraft whose list names no main
// texture, and how the player mends it.
QString noMainTextureMessage();

// Makes the one-time backup of the main texture when it exists and has none
// yet. Empty text when there is a backup now (or nothing to back up), else
// the reason it could not be made.
QString ensureBackup(const PaintTable &table);
