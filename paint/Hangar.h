#pragma once

#include "AircraftScanner.h"
#include "InstallPlan.h"
#include "InstalledPaint.h"
#include "PaintResult.h"
#include "PaintSet.h"
#include "PaintTable.h"
#include "WorkProgress.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The player's aircraft and paints as one object: the game folder, its
// aircraft, and the paint table of the selected aircraft. Every change to a
// player's file goes through here, whichever front end asks for it, so the
// window and the command line keep the same rules.
class Hangar
{
public:
    using ListCreation = AircraftScanner::ListCreation;

    explicit Hangar(const QString &gameFolder = QString());

    // Forgets the aircraft and the selection; the folder gets its trailing
    // separator. Taken as it is: a stored folder stays in use even when it
    // is gone for now (an unplugged drive).
    void setGameFolder(const QString &gameFolder);
    QString gameFolder() const { return m_gameFolder; }
    // Empty while no game folder is known: a relative "Aircraft" would be
    // looked for wherever the program was started.
    QString aircraftFolder() const;

    // What the player meant by a picked game folder, a file in it (cfs3.exe)
    // or its Aircraft folder: on success the game folder, with its separator,
    // is the result's file. Refused: nothing given, nothing there, or no
    // Aircraft folder (in any letter case) where the game's would be.
    static PaintResult understandGameFolder(const QString &picked);
    // The same, taken as the game folder when it is one; a refusal changes
    // nothing.
    PaintResult chooseGameFolder(const QString &picked);

    // Rebuilds the aircraft list. The selection is forgotten: its row may
    // name another aircraft in the new list.
    void scan(ListCreation creation, const AircraftScanner::MainTextureQuestion &ask = {},
              const AircraftScanner::FoundAircraft &found = {});
    // Appends the aircraft of one subfolder (separator at the end).
    void scanFolder(const QString &folder, ListCreation creation,
                    const AircraftScanner::MainTextureQuestion &ask = {});
    const QList<AircraftEntry> &aircraft() const { return m_aircraft; }
    // What the last scan left out and why, one result per file: a link out
    // of the folder, a pipe, a list that cannot be read or has no title line.
    const QList<PaintResult> &scanReport() const { return m_scanReport; }

    // The aircraft a player may mean by a name: its folder's name, its
    // definition file's base name or its title, in any letter case.
    QList<int> find(const QString &name) const;
    QString folderNameOf(int index) const;
    QString baseNameOf(int index) const;

    // Writes the initial paint list of an aircraft listed without one
    // (default main texture, or an empty line when it is missing) and reads
    // it back. Succeeds at once when the list exists.
    PaintResult createPaintList(int index);

    // Loads the aircraft's paint list into the paint table. Reading only:
    // the backup is a separate step (keepOriginal). On failure nothing is
    // selected and the table is empty, so rows of another aircraft are never
    // written into this one's list.
    PaintResult select(int index);
    void deselect();
    // The player's pick of an aircraft to work on: its list written when it
    // has none (ListCreation::CreateMissing), loaded, and its original kept
    // once it has a paint. A backup that cannot be made is only noted: the
    // apply that needs it makes it first and says why it cannot.
    PaintResult open(int index, ListCreation creation);
    int selectedIndex() const { return m_selected; }
    bool hasSelection() const { return m_selected >= 0; }
    const AircraftEntry *selectedAircraft() const;
    const PaintTable &paintTable() const { return m_table; }

    // The one-time backup of the main texture, made once the selected
    // aircraft has a paint that could replace it. Never replaces a backup.
    PaintResult keepOriginal();

    bool hasBackup() const;
    // The row whose file holds the main texture's content: the default row
    // when it is the original, a paint row, or nothing when none matches.
    std::optional<int> installedRow();
    // The same for the player: the paint's name, "original", or "unknown".
    QString installedLabel();

    // What to do with a main texture whose content is nowhere else in the
    // folder while a backup exists (an update of the aircraft put it there,
    // or a paint was edited in place): refuse, or keep it as the new
    // original first (adopt).
    enum class ChangedOriginal { Refuse, Adopt };

    // Copies the texture of a row over the main texture. Its content is kept
    // first (the backup, once); content found nowhere else is refused with
    // changedOutside set, or adopted. A paint that is no DDS texture the game
    // can load is refused; one whose size or format differs from the
    // original's is applied with a note.
    PaintResult apply(int row, ChangedOriginal changed = ChangedOriginal::Refuse);
    // Puts the backup back, under the same rule; fails when there is none.
    PaintResult restore(ChangedOriginal changed = ChangedOriginal::Refuse);
    // Puts back the original of each aircraft given, one after another under
    // the rule of restore; one wearing its original already is left alone.
    // The selected aircraft stays selected, its table read again. With a
    // progress (the call may then run on a worker while nothing else uses
    // the hangar), each aircraft is told before it is handled, and a cancel
    // stops between two aircraft: only those handled have an outcome.
    struct RestoreOutcome
    {
        enum Kind { Restored, AlreadyOriginal, Failed };
        int index = -1;
        Kind kind = Failed;
        PaintResult result;
    };
    QList<RestoreOutcome> restoreAll(const QList<int> &indices, ChangedOriginal changed = ChangedOriginal::Refuse,
                                     const WorkProgress *progress = nullptr);
    // Keeps a main texture found nowhere else as the new original: it becomes
    // the backup, and the old backup moves aside to NAME.bak.N and is listed
    // as the paint "Original before DATE", so it stays one click away.
    // Without a backup yet, the main texture is simply backed up. Writes
    // nothing when the main texture is known already.
    PaintResult adopt();

    // Why a typed paint name cannot go into the list; succeeds when it can.
    // For a front end that asks before the player picks a file.
    static PaintResult checkPaintName(const QByteArray &name);
    // Adds a paint to the selected aircraft, as the player asks for it: the
    // name and the file's name are checked first; a texture from outside is
    // copied into the aircraft's folder (under copyName when given, never
    // over a different file or under the main texture's or its backup's
    // name); the list is rewritten and the original kept. Only the file's
    // name goes into the list. A refusal leaves no file behind; a taken
    // name fails with nameTaken set and a free one to offer. A backup that cannot be made is the
    // result's note: the paint was added all the same.
    PaintResult addPaint(const QByteArray &name, const QString &pickedFile,
                         const std::optional<QString> &copyName = std::nullopt);
    // The list step of addPaint: appends a paint and rewrites the list, the
    // file's name checked but nothing brought in. Only the file's name is
    // kept: the paint is looked for in the aircraft's folder.
    PaintResult add(const QByteArray &name, const QString &textureFile);
    // Names the picked file (only its name is kept) as the selected
    // aircraft's main texture and rewrites the list; for a list that names
    // none.
    PaintResult setMainTexture(const QString &textureFile);
    // Drops a paint row (2 and on) and rewrites the list; its file stays.
    PaintResult remove(int row);
    // Rewrites the list of the selected aircraft from the table. When that
    // fails the table is read again from the file, so what is shown is what
    // the file holds.
    PaintResult save();

    // Installing downloaded textures: what would go where (nothing is
    // written), then the plan as the player left it. The selected aircraft's
    // table is read again when the install added to it.
    // Both may run on a worker thread while nothing else uses the hangar;
    // the progress, when given, is reported to and can cancel them.
    InstallPlan planInstall(const InstallRequest &request, const InstallProgress *progress = nullptr) const;
    QList<AircraftInstallResult> install(const InstallPlan &plan, const InstallProgress *progress = nullptr);
    // The two at once, for a caller that installs the plan as it is made:
    // each download is read once, its textures written to their folders as
    // they are read and named when the plan is complete. Runs on one thread
    // from start to end; the plan made is given back in `plan`.
    QList<AircraftInstallResult> installAsPlanned(const InstallRequest &request, InstallPlan *plan,
                                                  const InstallProgress *progress = nullptr);
    // The read-me an install kept beside a paint row's texture, or an
    // empty text.
    QString paintNote(int row) const;

    // The row the selected aircraft wears: the default row for its original
    // (also when nothing was ever applied, so no backup exists), a paint
    // row, or nothing when the main texture is known nowhere else.
    std::optional<int> wornRow();

    // Paint sets. What every aircraft (or these) wears now, as a set; the
    // aircraft left out (changed outside Corvane, unreadable) are reported.
    PaintSet currentSet(const QString &name, const QList<int> &only = {}, SetReport *report = nullptr);
    // Puts each choice on its aircraft through apply (its backup rule, its
    // lock); one outcome per choice, the changed-outside ones refused unless
    // adopted and listed as the report's questions. A progress is told and
    // stops it as for restoreAll.
    SetReport applySet(const PaintSet &set, ChangedOriginal changed = ChangedOriginal::Refuse,
                       const WorkProgress *progress = nullptr);
    // The aircraft that wear something other than their original and have a
    // backup to go back to: what restoreAll is given to put every one back.
    QList<int> aircraftToRestore();
    // For another machine: each paint named with its content hash too.
    PaintSet shareable(const PaintSet &set, SetReport *report = nullptr);
    // A shared set matched to this machine: each paint found by content and
    // named as it is listed here; paints and aircraft not here are reported,
    // and kept with their hash, so they never match a paint by name alone.
    PaintSet matchHere(const PaintSet &shared, SetReport *report = nullptr);

    // Problems of one aircraft, changing nothing: missing textures, values
    // leading outside its folder, textures the game cannot load, and a main
    // texture that matches neither the backup nor any paint. Leaves the
    // aircraft selected.
    QList<PaintResult> check(int index);

private:
    PaintResult saveLocked();
    QList<AircraftInstallResult> carryOutPlan(const InstallPlan &plan, const InstallProgress *progress,
                                              InstallSpool *spool);
    // Aircraft by the case-folded name of their folder, so that matching a
    // set of thousands of aircraft stays one look-up each.
    QHash<QString, QList<int>> aircraftByFolder() const;
    int aircraftOf(const PaintChoice &choice, const QHash<QString, QList<int>> &byFolder) const;
    bool wears(int row); // whether the main texture holds that row's content
    // The row a set's choice names here; refused with why, row untouched.
    PaintResult rowFor(const PaintChoice &choice, int &row);
    PaintChoice choiceFor(int index, int row) const;
    // While many aircraft change at once: main textures written without
    // their own sync, synced together at the end.
    QStringList *m_syncLater = nullptr;
    PaintResult adoptLocked();
    // The file names a copy from outside may never take: the main texture's
    // (as listed, and as the first list would name it) and its backup's.
    bool isReservedName(const QString &fileName) const;

    QString m_gameFolder;
    QList<AircraftEntry> m_aircraft;
    QList<PaintResult> m_scanReport;
    int m_selected = -1;
    PaintTable m_table;
    InstalledPaint m_installed;
};
