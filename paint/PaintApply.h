#pragma once

#include <QString>

class PaintTable;

// Puts the texture of one paint row in place of the aircraft's main texture.
// The original main texture is backed up first, once; the replacement is
// atomic, so the game never finds half a texture. Gives an empty text on
// success, else the message for the player, naming the file and the reason.
QString applyPaint(const PaintTable &table, int row);
