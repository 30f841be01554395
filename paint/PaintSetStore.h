#pragma once

#include "PaintSet.h"

#include <QString>
#include <QStringList>

#include <optional>

// The player's paint sets, one file each (NAME.json) in a folder of their
// own. Names are told apart without regard to letter case, as Windows would.
class PaintSetStore
{
public:
    // The folder under the user's data folder that both the window and the
    // command line use, unless CORVANE_SETS_FOLDER names another.
    static QString defaultFolder();

    explicit PaintSetStore(const QString &folder = defaultFolder());
    QString folder() const { return m_folder; }

    // The stored sets' names in Windows listing order; files in the folder
    // that are no set (or a broken one) are named in problems.
    QStringList names(QList<PaintResult> *problems = nullptr) const;
    bool contains(const QString &name) const { return !fileOf(name).isEmpty(); }

    // The set stored under the name into set; a file that cannot be read as
    // a whole set is refused with the reason, set left as it was.
    PaintResult load(const QString &name, PaintSet &set) const;
    // Writes the set under its name, replacing the set of that name, if any
    // (saving a set again brings it up to date).
    PaintResult save(const PaintSet &set);
    // Adds the set under its name; refused when the name is taken.
    PaintResult add(const PaintSet &set);
    PaintResult remove(const QString &name);
    // Refused when the new name is taken by another set; the file's own
    // "name" is rewritten too.
    PaintResult rename(const QString &name, const QString &newName);

    // Writes a set to a file anywhere, for sharing; refuses to replace
    // an existing file.
    static PaintResult exportTo(const PaintSet &set, const QString &path);

private:
    QString fileOf(const QString &name) const; // existing file, any letter case
    QString pathFor(const QString &name) const;
    PaintResult write(const PaintSet &set, bool replace);

    QString m_folder;
};
