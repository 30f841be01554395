#pragma once

#include <QString>
#include <QStringList>

class PaintTable;

// What an apply has to tell besides success or failure.
struct ApplyReport
{
    // Nothing was written because the main texture holds content found
    // nowhere else in the folder (an updated aircraft, a paint edited in
    // place): it has to be kept as the new original first.
    bool changedOutside = false;
    // Applied, but the player should know: the paint's size or format
    // differs from the original's.
    QString note;
};

// Puts the texture of one paint row in place of the aircraft's main texture.
// The main texture is overwritten only when its content exists elsewhere in
// the folder, byte for byte: the backup (made now when there is none) or a
// listed paint. Only a DDS texture the game can load goes over it. The
// replacement is atomic, so the game never finds half a texture. Gives an
// empty text on success, else the message for the player, naming the file
// and the reason. With syncLater, the main texture is not forced to the disk
// here but its path is added there, for one sync after many applies: its old
// content is on the disk elsewhere already, so a power cut on the way costs
// at worst the new copy, never the original.
QString applyPaint(const PaintTable &table, int row, ApplyReport *report = nullptr, QStringList *syncLater = nullptr);

// The rule every write over the main texture keeps: its content must exist
// elsewhere in the aircraft folder first. Makes the one-time backup when
// there is none; empty text when the content is kept, else why not, with
// changedOutside set when it is content found nowhere else.
QString keepMainTextureContent(const PaintTable &table, bool *changedOutside = nullptr);

// The message for a main texture that changed outside Corvane.
QString changedOutsideMessage(const QString &mainTexturePath);

// Why nothing can be applied to an aircraft whose list names no main
// texture, and how the player mends it.
QString noMainTextureMessage();

// Makes the one-time backup of the main texture when it exists and has none
// yet. Empty text when there is a sound backup now (or nothing to back up),
// else why the main texture may not be overwritten: the backup could not be
// made, or what is at the backup's name is not a backup Corvane can trust.
QString ensureBackup(const PaintTable &table);

// Why the list's main texture may never be written at all (it names the
// aircraft's paint list, its definition, or a backup), or an empty text.
QString mainTextureProblem(const PaintTable &table);
