#pragma once

#include "AircraftFileCheck.h"
#include "PaintResult.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

struct AircraftEntry
{
    QString title;        // decoded, for display
    QByteArray rawTitle;  // as the paint list holds it, for writing back
    QString paintListPath;
    bool hasPaintList = true; // false only in a read-only scan
};

// Finds the aircraft of the game's Aircraft folder and makes sure each has a
// paint list. Aircraft come in the order Windows lists their folders and
// definition files, whatever the file system here.
class AircraftScanner
{
public:
    // Asked when a new paint list must be written and the default main
    // texture is missing. Gets the aircraft's base name and folder; answers
    // the picked file (only its name is kept) or nothing when cancelled.
    using MainTextureQuestion =
        std::function<std::optional<QString>(const QString &baseName, const QString &folder)>;

    enum class ListCreation {
        // An aircraft without a paint list is listed under its base name,
        // and nothing is written.
        ReadOnly,
        // A missing paint list is written in its initial form, as the
        // window does on first sight.
        CreateMissing,
    };

    explicit AircraftScanner(MainTextureQuestion askMainTexture = {},
                             ListCreation creation = ListCreation::CreateMissing);

    // Told of each aircraft as soon as it is listed: a first scan writes a
    // paint list for every aircraft and may take seconds.
    using FoundAircraft = std::function<void(const AircraftEntry &)>;
    void onFound(FoundAircraft found) { m_found = std::move(found); }

    // aircraftFolder and the subfolders end with a separator. What was left
    // out for a reason the player should hear of (a link leading out of the
    // folder, a pipe, a list too big to read or without a title line) is
    // added to problems, one per file, with the reason.
    QList<AircraftEntry> scanAircraft(const QString &aircraftFolder,
                                      QList<PaintResult> *problems = nullptr) const;
    void scanAircraftFolder(const QString &folder, QList<AircraftEntry> &entries,
                            QList<PaintResult> *problems = nullptr) const;

private:
    // Adds the paint lists it wrote to `created`, none of them synced yet.
    void scanFolder(const AircraftFileCheck::Folder &checked, QList<AircraftEntry> &entries,
                    QList<PaintResult> *problems, QStringList &created) const;
    QByteArray mainTextureFor(const QString &baseName, const AircraftFileCheck::Folder &checked,
                              const QString &folder) const;
    // Temporary files of saves cut short (the program killed, the power
    // gone) that no writer will ever finish: removed, and the player told.
    void removeLeftovers(const QString &folder, const QStringList &names, QList<PaintResult> *problems) const;

    MainTextureQuestion m_askMainTexture;
    ListCreation m_creation;
    FoundAircraft m_found;
};
