#pragma once

#include "TextureFile.h"

#include <QList>
#include <QString>

#include <optional>

// What a downloaded texture is matched against: one aircraft of the game.
struct AircraftCandidate
{
    QString folderName;         // "P51D"
    QString definitionBaseName; // "p51d" of p51d.xdp
    QString mainTextureName;    // "p51d_t.dds"
    std::optional<TextureFile::DdsShape> mainTexture;
};

enum class MatchReason { None, Chosen, Name, Shape, Ambiguous };

struct AircraftMatch
{
    int aircraft = -1;     // index into the candidates, -1 when none
    MatchReason reason = MatchReason::None;
    QList<int> candidates; // the aircraft that tied, when ambiguous
};

// Which aircraft a downloaded texture belongs to:
// 1. the aircraft the player chose, when there is one;
// 2. else the aircraft whose folder name or definition base name the
//    texture's own path in the archive contains (folders and file name, any
//    letter case), the longest name winning; the archive's own name only
//    when the texture's path names none;
// 3. else, for a DDS texture, the one aircraft whose main texture has the
//    same pixel size and format (also used to settle a tie of rule 2).
// Anything else is left to the player.
AircraftMatch matchAircraft(const QString &texturePath, const QString &archiveName,
                            const std::optional<TextureFile::DdsShape> &shape,
                            const QList<AircraftCandidate> &aircraft, int chosen = -1);
