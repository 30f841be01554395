#pragma once

#include "PaintResult.h"

#include <QString>

#include <memory>

class QLockFile;

// One writer per aircraft at a time, across every Corvane process of the
// user (windows and command lines alike). Held for the whole of a change to
// an aircraft's files, a read, merge and write of its paint list included,
// and released when it goes out of scope.
//
// The lock is a file in the user's runtime folder named after the aircraft
// folder's real path, so two spellings of one folder share it. A holder that
// was killed leaves its file behind; the next writer sees that no process of
// that id runs any more and takes the lock over at once.
//
// A thread that already holds an aircraft's lock gets it again at once, so
// an operation may call another that locks too.
class AircraftLock
{
public:
    static constexpr int DefaultWaitMs = 3000;

    explicit AircraftLock(const QString &aircraftFolder);
    ~AircraftLock();
    AircraftLock(const AircraftLock &) = delete;
    AircraftLock &operator=(const AircraftLock &) = delete;

    // Waits up to waitMs for another writer to finish; 0 tries once.
    bool acquire(int waitMs = DefaultWaitMs);
    void release();
    bool isHeld() const { return m_held; }

    // After a failed acquire: who holds the lock, or why it could not be
    // taken, for the player.
    PaintResult refusal() const;

    // Whether some process (this one included) is changing the aircraft's
    // files right now; asks without taking the lock. Says yes when it cannot
    // tell, so that nobody's work in progress is taken for left-overs.
    static bool isWriterAlive(const QString &aircraftFolder);

    static QString lockFilePath(const QString &aircraftFolder);

private:
    QString m_folder;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_file;
    bool m_held = false;
    bool m_nested = false;
};
