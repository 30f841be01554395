#pragma once

#include <QByteArray>
#include <QString>

// Puts a downloaded texture into an aircraft's folder without ever replacing
// a file that is there: a file of the same name and content is simply used,
// a different one makes way for a new name.
namespace TextureInstaller {

enum class Placement {
    Free,        // no file of that name (in any letter case)
    SameContent, // the very texture is already there
    Clash,       // another file has the name
};

// existingName gets the name as the folder spells it, when there is a file.
Placement placementOf(const QString &folder, const QString &fileName, const QByteArray &data,
                      QString *existingName = nullptr);

// The first of fileName, "name (2).ext", "name (3).ext", ... that is free or
// already holds this texture; empty when a hundred are taken.
QString proposeFileName(const QString &folder, const QString &fileName, const QByteArray &data);

// Writes the texture under fileName unless a file of that name exists; the
// data goes to a temporary file first, so no half texture is ever seen.
bool writeNewTexture(const QString &folder, const QString &fileName, const QByteArray &data,
                     QString *error = nullptr);

// Makes sure the folder holds this texture under fileName or a numbered
// variant; gives the name used, or an empty text with the reason.
QString placeTexture(const QString &folder, const QString &fileName, const QByteArray &data,
                     QString *error = nullptr);

} // namespace TextureInstaller
