#pragma once

#include "PaintResult.h"

#include <QByteArray>
#include <QString>

// A texture file the player picked for a new paint, seen from the aircraft
// folder it is meant for.
struct PickedTexture
{
    enum Kind {
        InAircraftFolder, // used where it is
        Elsewhere,        // to be copied in; data holds it
        Refused,          // missing, not a texture or too big; the result says which
    };
    Kind kind = Refused;
    QString fileName;
    QByteArray data;
    PaintResult result;
};

PickedTexture examinePickedTexture(const QString &aircraftFolder, const QString &pickedPath);
