#pragma once

#include "PaintResult.h"

#include <QList>
#include <QString>

#include <optional>

// One aircraft's entry in a paint set: the aircraft, and either its own
// original texture or one paint of its list.
struct PaintChoice
{
    // The aircraft: its folder's name, its definition file's base name
    // (a folder may hold several aircraft) and its title, for the player
    // and for a set made on another machine.
    QString folder;
    QString definition;
    QString title;

    bool original = false;
    // The paint, by its name in the aircraft's list and its texture's file
    // name; both must match, so a list edited since never gets a guess.
    QString paint;
    QString textureFile;
    // Only a shared set carries the texture's content: on another machine the
    // same name may hold other pixels. A choice with a hash is matched by
    // content alone.
    QString sha256;
    qint64 size = -1;

    bool isShared() const { return !sha256.isEmpty(); }
    // How the player recognises the aircraft in a report.
    QString aircraftLabel() const { return title.isEmpty() ? folder : title; }
    QString paintLabel() const;
};

// A named list of choices, applied together.
struct PaintSet
{
    QString name;
    QList<PaintChoice> choices;
};

// What became of one aircraft of a set: one line of the report a save,
// apply, restore, export or import gives.
struct SetOutcome
{
    enum class Kind {
        Applied,         // the choice is on the aircraft now
        AlreadyOn,       // it was already; nothing written
        Listed,          // saved, exported or found on this machine
        MissingAircraft, // no such aircraft here
        MissingPaint,    // the aircraft has no such paint (or not this content)
        Refused,         // the aircraft's files said no; the reason tells why
    };

    Kind kind = Kind::Refused;
    QString aircraft;
    QString paint;
    // The file concerned and, unless it worked, the reason; changedOutside
    // when the step would go ahead with the player's word to adopt.
    PaintResult result;

    bool isProblem() const { return kind >= Kind::MissingAircraft; }
    static QString kindName(Kind kind);
    // "P-51D: applied Desert", "Zero: missing paint Navy (...)".
    QString line() const;
};

// The one list a set operation gives back: every aircraft's outcome, and
// those whose main texture changed outside Corvane, asked about together at
// the end rather than one at a time.
struct SetReport
{
    QList<SetOutcome> outcomes;

    QList<SetOutcome> questions() const;
    int count(SetOutcome::Kind kind) const;
    bool hasProblems() const;
};
