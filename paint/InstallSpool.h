#pragma once

#include "AircraftFileCheck.h"
#include "AircraftLock.h"
#include "InstallPlan.h"
#include "SafeSave.h"

#include <map>
#include <memory>
#include <utility>

// Textures written to temporary files in their aircraft's folder while the
// downloads are read for the plan, so that a plan carried out as it is
// needs no second reading of them. A texture is matched to its aircraft as
// the plan matches it; it is named, checked again and put in place only
// when the plan is carried out, since its name may come from a read-me
// further on in the download.
//
// Each aircraft spooled into is locked from its first texture until the
// spool goes, so planning and carrying out must run on one thread (the
// carrying out takes the same locks again). Whatever was never put in place
// is removed when the spool goes.
class InstallSpool
{
public:
    explicit InstallSpool(const QList<AircraftEntry> &aircraft);
    ~InstallSpool();
    InstallSpool(const InstallSpool &) = delete;
    InstallSpool &operator=(const InstallSpool &) = delete;

    // The sink for one download: what a request would install of it is
    // written, anything else is only measured.
    std::unique_ptr<TextureSink> sinkFor(const QString &download, bool isArchive,
                                         const QList<AircraftCandidate> &candidates, const InstallRequest &request);

    // The written file of a planned texture, taken out of the spool: only
    // one written for the aircraft the item now names, with the size and
    // digest the plan holds.
    std::unique_ptr<SafeSave> take(const InstallItem &item);

private:
    friend class SpoolSink;
    struct Spooled
    {
        int aircraft = -1;
        qint64 size = 0;
        QByteArray digest;
        std::unique_ptr<SafeSave> file;
    };
    struct Folder
    {
        std::unique_ptr<AircraftLock> lock;
        std::unique_ptr<AircraftFileCheck::Folder> check; // null when the lock was refused
    };

    const AircraftFileCheck::Folder *folderFor(int aircraft);

    const QList<AircraftEntry> &m_aircraft;
    // Declared before the files, so that those go first and no lock is
    // released while a file of this install is still in its folder.
    std::map<int, Folder> m_folders;
    std::map<std::pair<QString, int>, Spooled> m_spooled; // by download and entry
};
