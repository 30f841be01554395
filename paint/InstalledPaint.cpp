#include "InstalledPaint.h"

#include "AircraftFileCheck.h"
#include "ChangeTime.h"
#include "RegularFileOpen.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Large enough to hold a few rows of texture blocks past the header, small
// enough that forty paints cost less than a tenth of one 4096-pixel texture.
constexpr qint64 SampleSize = 64 * 1024;
constexpr qint64 CompareBlockSize = 1024 * 1024;

// Paints often share their top rows (a plain border, the same tail art), so
// the second sample is taken from the middle of the file.
qint64 middleSampleOffset(qint64 size)
{
    return (size / 2) & ~qint64(4095);
}

} // namespace

struct InstalledPaint::Samples
{
    QByteArray start;
    QByteArray middle;
};

InstalledPaint::Stamp InstalledPaint::stampOf(const QString &path)
{
    const QFileInfo info(path);
    return Stamp{info.size(), info.lastModified(), ChangeTime::of(info)};
}

bool InstalledPaint::readSamples(const QString &path, qint64 size, Samples &samples)
{
    QFile file(path);
    if (!RegularFileOpen::openForReading(file))
        return false;
    samples.start = file.read(SampleSize);
    const qint64 middle = middleSampleOffset(size);
    if (middle >= SampleSize) {
        if (!file.seek(middle))
            return false;
        samples.middle = file.read(SampleSize);
    }
    m_bytesRead += samples.start.size() + samples.middle.size();
    return samples.start.size() == qMin(size, SampleSize);
}

bool InstalledPaint::sameContent(const QString &mainPath, const Samples &mainSamples, const QString &path,
                                 qint64 size)
{
    Samples samples;
    if (!readSamples(path, size, samples) || samples.start != mainSamples.start
        || samples.middle != mainSamples.middle)
        return false;
    if (size <= SampleSize)
        return true;

    QFile main(mainPath);
    QFile other(path);
    if (!RegularFileOpen::openForReading(main) || !RegularFileOpen::openForReading(other))
        return false;
    qint64 compared = 0;
    for (;;) {
        const QByteArray a = main.read(CompareBlockSize);
        const QByteArray b = other.read(CompareBlockSize);
        m_bytesRead += a.size() + b.size();
        if (a != b)
            return false;
        if (a.isEmpty())
            break;
        compared += a.size();
    }
    // A file that changed while it was read is not known to be the same.
    return compared == size && main.error() == QFileDevice::NoError && other.error() == QFileDevice::NoError;
}

std::optional<int> InstalledPaint::find(const QString &aircraftFolder, const QString &mainTexturePath,
                                        const QStringList &candidates, Verdicts verdicts)
{
    m_bytesRead = 0;
    const FileVerdict main = AircraftFileCheck::mayRead(aircraftFolder, mainTexturePath);
    if (!main)
        return std::nullopt;
    const Stamp mainStamp = stampOf(main.realPath);
    std::optional<Samples> mainSamples;

    for (int i = 0; i < candidates.size(); ++i) {
        const FileVerdict candidate = AircraftFileCheck::mayRead(aircraftFolder, candidates.at(i));
        if (!candidate || candidate.realPath == main.realPath)
            continue;
        const Stamp stamp = stampOf(candidate.realPath);
        if (stamp.size != mainStamp.size)
            continue;

        const auto kept = m_verdicts.constFind(candidate.realPath);
        if (verdicts == Verdicts::MayReuse && kept != m_verdicts.constEnd() && kept->mainPath == main.realPath
            && kept->mainStamp == mainStamp && kept->stamp == stamp) {
            if (kept->same)
                return i;
            continue;
        }
        if (!mainSamples) {
            mainSamples.emplace();
            if (!readSamples(main.realPath, mainStamp.size, *mainSamples))
                return std::nullopt;
        }
        const bool same = sameContent(main.realPath, *mainSamples, candidate.realPath, stamp.size);
        m_verdicts.insert(candidate.realPath, Verdict{main.realPath, mainStamp, stamp, same});
        if (same)
            return i;
    }
    return std::nullopt;
}
