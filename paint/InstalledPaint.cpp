#include "InstalledPaint.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {
// Only regular files are read: a fifo or a device named by a list would
// block or never end.
bool isReadableFile(const QFileInfo &info)
{
    return info.isFile() && info.isReadable();
}
} // namespace

std::optional<int> InstalledPaint::find(const QString &mainTexturePath, const QStringList &candidates)
{
    if (mainTexturePath.isEmpty())
        return std::nullopt;
    const QFileInfo main(mainTexturePath);
    if (!isReadableFile(main))
        return std::nullopt;
    const Stamp mainStamp{main.size(), main.lastModified(), main.metadataChangeTime()};
    QByteArray mainHash;

    for (int i = 0; i < candidates.size(); ++i) {
        if (candidates.at(i).isEmpty())
            continue;
        const QFileInfo candidate(candidates.at(i));
        if (!isReadableFile(candidate) || candidate.size() != mainStamp.size || candidate == main)
            continue;
        if (mainHash.isEmpty()) {
            mainHash = contentHash(main.absoluteFilePath(), mainStamp);
            if (mainHash.isEmpty())
                return std::nullopt;
        }
        const Stamp stamp{candidate.size(), candidate.lastModified(), candidate.metadataChangeTime()};
        if (contentHash(candidate.absoluteFilePath(), stamp) == mainHash)
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
    if (!file.open(QIODevice::ReadOnly))
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
