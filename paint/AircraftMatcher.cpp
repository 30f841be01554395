#include "AircraftMatcher.h"

#include "NativePath.h"

#include <QStringList>

namespace {

// The aircraft whose longest name occurs in one of the parts; all of them
// when several tie.
QList<int> longestNameMatches(const QStringList &parts, const QList<AircraftCandidate> &aircraft)
{
    QList<int> best;
    qsizetype bestLength = 0;
    for (int i = 0; i < aircraft.size(); ++i) {
        qsizetype length = 0;
        for (const QString &name : {aircraft[i].folderName, aircraft[i].definitionBaseName}) {
            if (name.isEmpty() || name.size() <= length)
                continue;
            for (const QString &part : parts) {
                if (part.contains(name, Qt::CaseInsensitive)) {
                    length = name.size();
                    break;
                }
            }
        }
        if (length == 0 || length < bestLength)
            continue;
        if (length > bestLength)
            best.clear();
        bestLength = length;
        best.append(i);
    }
    return best;
}

QList<int> sameShape(const TextureFile::DdsShape &shape, const QList<int> &among,
                     const QList<AircraftCandidate> &aircraft)
{
    QList<int> matches;
    for (int i : among) {
        if (aircraft[i].mainTexture == shape)
            matches.append(i);
    }
    return matches;
}

} // namespace

AircraftMatch matchAircraft(const QString &texturePath, const QString &archiveName,
                            const std::optional<TextureFile::DdsShape> &shape,
                            const QList<AircraftCandidate> &aircraft, int chosen)
{
    if (chosen >= 0 && chosen < aircraft.size())
        return {chosen, MatchReason::Chosen, {}};

    QStringList parts = QString(texturePath).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    if (!parts.isEmpty())
        parts.last() = NativePath::withoutExtension(parts.last());
    QList<int> byName = longestNameMatches(parts, aircraft);
    if (byName.isEmpty() && !archiveName.isEmpty())
        byName = longestNameMatches({NativePath::withoutExtension(archiveName)}, aircraft);
    if (byName.size() == 1)
        return {byName.first(), MatchReason::Name, {}};

    QList<int> everyone;
    for (int i = 0; i < aircraft.size(); ++i)
        everyone.append(i);
    const QList<int> &among = byName.isEmpty() ? everyone : byName;
    const QList<int> byShape = shape ? sameShape(*shape, among, aircraft) : QList<int>();
    if (byShape.size() == 1)
        return {byShape.first(), MatchReason::Shape, {}};
    if (!byName.isEmpty())
        return {-1, MatchReason::Ambiguous, byName};
    if (byShape.size() > 1)
        return {-1, MatchReason::Ambiguous, byShape};
    return {};
}
