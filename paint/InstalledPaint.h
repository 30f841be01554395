#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Tells which of an aircraft's paint files is the one on the aircraft now:
// the game only ever sees the main texture, so "installed" means "same bytes
// as the main texture". Paints of one aircraft are mostly of one size, so
// files of the main texture's size are compared in small samples first (the
// start, then the middle), which tell almost all of them apart; only the one
// that passes is read in full. Finding the installed row thus costs
// about one read of the main texture and of the paint that matches.
//
// Verdicts are kept per file for as long as both files keep their size and
// times, so moving through the rows reads nothing twice.
class InstalledPaint
{
public:
    enum class Verdicts { MayReuse, ReadAgain };

    // The index in candidates of the first file with the same content as the
    // main texture; nothing when none has (or the main texture is missing).
    // Only files the aircraft folder may be read from are looked at. A
    // candidate naming the main texture file itself never counts: it would
    // match whatever is installed. ReadAgain trusts no kept verdict, for a
    // decision that must hold byte for byte now (before an overwrite).
    std::optional<int> find(const QString &aircraftFolder, const QString &mainTexturePath,
                            const QStringList &candidates, Verdicts verdicts = Verdicts::MayReuse);

    // How many bytes the last find read, for measuring.
    qint64 bytesReadByLastFind() const { return m_bytesRead; }

private:
    struct Stamp
    {
        qint64 size = -1;
        QDateTime modified;
        QDateTime changed;
        bool operator==(const Stamp &) const = default;
    };
    struct Verdict
    {
        QString mainPath;
        Stamp mainStamp;
        Stamp stamp;
        bool same = false;
    };
    struct Samples;

    static Stamp stampOf(const QString &path);
    bool readSamples(const QString &path, qint64 size, Samples &samples);
    bool sameContent(const QString &mainPath, const Samples &mainSamples, const QString &path, qint64 size);

    QHash<QString, Verdict> m_verdicts;
    qint64 m_bytesRead = 0;
    QByteArray m_blockA;
    QByteArray m_blockB;
};
