#pragma once

#include "AircraftFileCheck.h"
#include "FolderNames.h"
#include "PaintResult.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

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
// A refused write gives the system's reason alone.
PaintResult writeNewTexture(const QString &folder, const QString &fileName, const QByteArray &data);

// Makes sure the folder holds this texture under fileName or a numbered
// variant, the name used in placedName.
PaintResult placeTexture(const QString &folder, const QString &fileName, const QByteArray &data,
                         QString &placedName);

// The names downloaded textures get in one aircraft folder during one
// install. The folder is listed once; each name chosen is remembered, so N
// textures cost N look-ups in memory, not N listings of the folder.
class FolderPlacement
{
public:
    explicit FolderPlacement(const QString &folder);

    // A name never given to a download, in any letter case: the main
    // texture's and its backup's.
    void reserve(const QString &name);
    bool isReserved(const QString &name) const;

    struct Choice
    {
        QString name;
        bool alreadyThere = false; // a file of that name holds this very texture
        bool shortened = false;    // the name was too long for the file system
    };
    // The first of fileName, "name (2).ext", ... (each shortened to fit the
    // file system and the paint list) that is free or already holds a
    // texture of this size and digest; refused, leaving choice as it was,
    // when a hundred are taken.
    PaintResult choose(const QString &fileName, qint64 size, const QByteArray &digest, Choice &choice);

    QString folder() const { return m_folder; }
    const AircraftFileCheck::Folder &check() const { return m_check; }

private:
    bool holds(const QString &name, qint64 size, const QByteArray &digest) const;

    QString m_folder;
    AircraftFileCheck::Folder m_check;
    FolderNames m_names;
    QHash<QString, QByteArray> m_chosen; // case-folded name -> digest, for this install
    QSet<QString> m_reserved;            // case-folded
};

} // namespace TextureInstaller
