#pragma once

#include "AircraftMatcher.h"
#include "AircraftScanner.h"
#include "PaintArchive.h"
#include "PaintResult.h"
#include "PictureTexture.h"

#include <QList>
#include <QString>
#include <QStringList>

// One texture of a download and what is to become of it. The player may
// change the aircraft, the name and whether it is installed at all before
// the plan is carried out.
struct InstallItem
{
    QString download; // the archive or file it came from
    DownloadedTexture texture;
    std::optional<TextureFile::DdsShape> shape;
    AircraftMatch match;
    int aircraft = -1; // index into the game's aircraft list
    QString paintName;
    bool selected = false;
    DownloadedNote note; // the read-me found beside the texture, if any
    // A picture that is not DDS is made into a DDS like the aircraft's
    // original when makeDds is set; pictureProblem says why it cannot be.
    bool makeDds = false;
    std::optional<PictureTexture::PictureSize> pictureSize;
    QString pictureProblem;
};

struct InstallPlan
{
    QList<InstallItem> items;
    QList<SkippedEntry> skipped;
    QList<PaintResult> refused; // downloads not read at all, each with the reason
    bool cancelled = false; // the player stopped the planning: the plan is empty

    bool hasSelection() const;
};

struct InstallRequest
{
    QStringList downloads; // archives and loose textures
    int chosenAircraft = -1;
    QString paintName;     // instead of the names made from the file names
    bool keepPictures = false; // install pictures as they are, not made into DDS textures
};

// What becomes of a picture that is not DDS, for the plan's readers; empty
// for a DDS texture.
QString describePicture(const InstallItem &item);

// What is known of each aircraft for matching: its folder and definition
// names, and the shape of its main texture as its paint list names it.
QList<AircraftCandidate> aircraftCandidates(const QList<AircraftEntry> &aircraft);

class InstallSpool;

// Planning reports each download as it is read and stops, with an empty
// cancelled plan, when limits.progress is cancelled. With a spool, the
// textures are also written to their aircraft folders as they are read,
// for a carrying out of the plan as it is.
InstallPlan planInstall(const InstallRequest &request, const QList<AircraftEntry> &aircraft,
                        const PaintArchive::Limits &limits = {}, InstallSpool *spool = nullptr);

// The plan as the command line prints it, one texture a line.
QString describePlan(const InstallPlan &plan, const QList<AircraftEntry> &aircraft);

struct AircraftInstallResult
{
    int aircraft = -1;
    QStringList added;    // paint names
    QList<PaintResult> problems; // each: the file concerned (a texture of a download, the list) and why
    QStringList notes;    // what the player should know of what was added
};

// Writes the selected textures into their aircraft folders and adds them to
// the aircraft's paint lists, each list saved once; the one-time backup of
// the main texture is made as for any added paint. The downloads are read
// again, each texture streamed to its file and checked against the plan, so
// no texture is ever held whole in memory; each folder is synced once at
// the end. An aircraft whose list would grow past what is read back gets
// nothing at all. Cancelled through limits.progress, the install stops
// between pieces of a texture: the textures already placed stay and are
// listed, the one being written is discarded, the rest are not placed.
// With the spool the plan was made with, textures spooled as planned are
// put in place from there, and only the others are read again.
QList<AircraftInstallResult> carryOut(const InstallPlan &plan, const QList<AircraftEntry> &aircraft,
                                      const PaintArchive::Limits &limits = {}, InstallSpool *spool = nullptr);

QString describeResults(const QList<AircraftInstallResult> &results, const QList<AircraftEntry> &aircraft);
