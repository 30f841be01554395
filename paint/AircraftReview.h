#pragma once

#include "InstalledPaint.h"
#include "PaintResult.h"
#include "PaintTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What an aircraft's files say about it, read without writing anything: the
// rules `check` reports and the collection's status marks are the same ones.
// Needs nothing but a loaded table, so it may run on a worker thread on a
// table of its own.
namespace AircraftReview {

// Missing textures, values leading outside the aircraft's folder, textures
// the game cannot load, and a list that names no main texture.
QList<PaintResult> textureProblems(const PaintTable &table, const QString &paintListPath);

bool hasBackup(const PaintTable &table);

// The row whose file holds the main texture's content: the default row when
// it is the original, a paint row, or nothing when none matches.
std::optional<int> installedRow(const PaintTable &table, InstalledPaint &installed);

// A main texture with a backup beside it that matches neither the backup
// nor any paint: something other than Corvane wrote it.
PaintResult changedOutsideProblem(const QString &mainTexturePath);

} // namespace AircraftReview

// The mark the collection shows for one aircraft, and the words behind it.
struct AircraftStatus
{
    enum class Kind {
        Unknown,        // not looked at yet
        Original,       // wears the texture it came with
        WearingPaint,   // a paint of its list is applied
        ChangedOutside, // the main texture is known to no row
        Problem,        // what `check` would report
    };

    Kind kind = Kind::Unknown;
    QString paintName;      // the paint worn
    QList<PaintResult> problems;

    // Reads the aircraft's list and textures; a list that cannot be read is
    // a problem. The verdicts of `installed` are reused between calls.
    static AircraftStatus of(const QString &paintListPath, InstalledPaint &installed);
    static AircraftStatus of(const PaintTable &table, const QString &paintListPath, InstalledPaint &installed);

    // One line for the player, e.g. "Wearing the paint \"Desert\"".
    QString description() const;
    bool operator==(const AircraftStatus &other) const
    {
        return kind == other.kind && paintName == other.paintName && problems.size() == other.problems.size();
    }
};
