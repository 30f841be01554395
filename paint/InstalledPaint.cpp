#include "InstalledPaint.h"

#include "AircraftFileCheck.h"
#include "ChangeTime.h"
#include "RegularFileOpen.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {

// A few rows of texture blocks past the header: enough to tell two paints
// apart, small enough that forty cost far less than one 4096-pixel texture.
constexpr qint64 SampleSize = 32 * 1024;
// Small enough that both blocks stay in the processor's cache while they are
// compared: larger ones read slower.
constexpr qint64 CompareBlockSize = 128 * 1024;

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
    // The middle is looked at only when the start agrees: most paints are
    // told apart by one small read.
    {
        QFile file(path);
        if (!RegularFileOpen::openForReading(file))
            return false;
        const QByteArray start = file.read(SampleSize);
        m_bytesRead += start.size();
        if (start != mainSamples.start)
            return false;
        if (size <= SampleSize)
            return true;
        if (!mainSamples.middle.isEmpty()) {
            if (!file.seek(middleSampleOffset(size)))
                return false;
            const QByteArray middle = file.read(SampleSize);
            m_bytesRead += middle.size();
            if (middle != mainSamples.middle)
                return false;
        }
    }

    QFile main(mainPath);
    QFile other(path);
    if (!RegularFileOpen::openForReading(main) || !RegularFileOpen::openForReading(other))
        return false;
    // Straight into two buffers, past Qt's own buffering.
    m_blockA.resize(CompareBlockSize);
    m_blockB.resize(CompareBlockSize);
    qint64 compared = 0;
    for (;;) {
        const qint64 a = main.read(m_blockA.data(), CompareBlockSize);
        const qint64 b = other.read(m_blockB.data(), CompareBlockSize);
        if (a < 0 || b < 0 || a != b)
            return false;
        m_bytesRead += a + b;
        if (a == 0)
            break;
        if (std::memcmp(m_blockA.constData(), m_blockB.constData(), size_t(a)) != 0)
            return false;
        compared += a;
    }
    // A file that changed while it was read is not known to be the same.
    return compared == size && main.error() == QFileDevice::NoError && other.error() == QFileDevice::NoError;
}

std::optional<int> InstalledPaint::find(const QString &aircraftFolder, const QString &mainTexturePath,
                                        const QStringList &candidates, Verdicts verdicts)
{
    m_bytesRead = 0;
    const AircraftFileCheck::Folder folder(aircraftFolder);
    const FileVerdict main = folder.mayRead(mainTexturePath);
    if (!main)
        return std::nullopt;
    const Stamp mainStamp = stampOf(main.realPath);
    std::optional<Samples> mainSamples;

    for (int i = 0; i < candidates.size(); ++i) {
        const FileVerdict candidate = folder.mayRead(candidates.at(i));
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
