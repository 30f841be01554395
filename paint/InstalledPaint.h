#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Tells which of an aircraft's paint files is the one on the aircraft now:
// the game only ever sees the main texture, so "installed" means "same bytes
// as the main texture". Files are compared by size first and only hashed when
// the sizes agree; hashes are kept per path for as long as the file's size
// and times stay the same, so moving through the rows reads nothing twice.
class InstalledPaint
{
public:
    // The index in candidates of the first file with the same content as the
    // main texture; nothing when none has (or the main texture is missing).
    // A candidate naming the main texture file itself never counts: it would
    // match whatever is installed.
    std::optional<int> find(const QString &mainTexturePath, const QStringList &candidates);

    void clear() { m_hashes.clear(); }

private:
    struct Stamp
    {
        qint64 size = -1;
        QDateTime modified;
        QDateTime changed;
        bool operator==(const Stamp &) const = default;
    };
    struct CachedHash
    {
        Stamp stamp;
        QByteArray hash;
    };

    // Empty when the file cannot be read in full.
    QByteArray contentHash(const QString &path, const Stamp &stamp);

    QHash<QString, CachedHash> m_hashes;
};
