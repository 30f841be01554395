#include "InstalledPaint.h"

#include "AircraftFileCheck.h"
#include "ChangeTime.h"
#include "RegularFileOpen.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

std::optional<int> InstalledPaint::find(const QString &aircraftFolder, const QString &mainTexturePath,
                                        const QStringList &candidates)
{
    const FileVerdict main = AircraftFileCheck::mayRead(aircraftFolder, mainTexturePath);
    if (!main)
        return std::nullopt;
    const QFileInfo mainInfo(main.realPath);
    const Stamp mainStamp{mainInfo.size(), mainInfo.lastModified(), ChangeTime::of(mainInfo)};
    QByteArray mainHash;

    for (int i = 0; i < candidates.size(); ++i) {
        const FileVerdict candidate = AircraftFileCheck::mayRead(aircraftFolder, candidates.at(i));
        if (!candidate || candidate.realPath == main.realPath)
            continue;
        const QFileInfo info(candidate.realPath);
        if (info.size() != mainStamp.size)
            continue;
        if (mainHash.isEmpty()) {
            mainHash = contentHash(main.realPath, mainStamp);
            if (mainHash.isEmpty())
                return std::nullopt;
        }
        const Stamp stamp{info.size(), info.lastModified(), ChangeTime::of(info)};
        if (contentHash(candidate.realPath, stamp) == mainHash)
            return i;
    }
    return std::nullopt;
}

QByteArray InstalledPaint::contentHash(const QString &path, const Stamp &stamp)
{
    const auto cached = m_hashes.constFind(path);
    if (cached != m_hashes.constEnd() && cached->stamp == stamp)
        return cached->hash;

    QFile file(path);
    if (!RegularFileOpen::openForReading(file))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&file) || file.pos() != stamp.size) {
        m_hashes.remove(path);
        return {};
    }
    const QByteArray result = hash.result();
    m_hashes.insert(path, CachedHash{stamp, result});
    return result;
}
