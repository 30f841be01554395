#include "CollectionFilter.h"

#include <QRegularExpression>
#include <QVarLengthArray>

#include <algorithm>

void CollectionFilter::setText(const QString &text)
{
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    m_words = text.toCaseFolded().split(spaces, Qt::SkipEmptyParts);
}

CollectionFilter::Subject CollectionFilter::Subject::of(const QString &title, const QString &folderName,
                                                        const QStringList &paintNames)
{
    Subject subject{title.toCaseFolded(), folderName.toCaseFolded(), {}};
    subject.paintNames.reserve(paintNames.size());
    for (const QString &name : paintNames)
        subject.paintNames << name.toCaseFolded();
    return subject;
}

bool CollectionFilter::admitsStatus(AircraftStatus::Kind kind) const
{
    using Kind = AircraftStatus::Kind;
    switch (m_status) {
    case StatusChoice::All:
        return true;
    case StatusChoice::WearingPaint:
        return kind == Kind::WearingPaint;
    case StatusChoice::ChangedOutside:
        return kind == Kind::ChangedOutside;
    case StatusChoice::Problems:
        return kind == Kind::Problem;
    }
    return true;
}

bool CollectionFilter::allWordsIn(std::initializer_list<const QString *> fields) const
{
    for (const QString &word : m_words) {
        bool found = false;
        for (const QString *field : fields) {
            if (field->contains(word, Qt::CaseInsensitive)) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

bool CollectionFilter::matchesAircraft(const QString &title, const QString &folderName) const
{
    return allWordsIn({&title, &folderName});
}

bool CollectionFilter::matchesPaint(const QString &title, const QString &folderName, const QString &paintName) const
{
    return allWordsIn({&title, &folderName, &paintName});
}

bool CollectionFilter::admits(const QString &title, const QString &folderName, const QStringList &paintNames,
                              AircraftStatus::Kind kind) const
{
    if (!admitsStatus(kind))
        return false;
    if (matchesAircraft(title, folderName))
        return true;
    for (const QString &paint : paintNames) {
        if (matchesPaint(title, folderName, paint))
            return true;
    }
    return false;
}

bool CollectionFilter::admits(const Subject &subject, AircraftStatus::Kind kind) const
{
    if (!admitsStatus(kind))
        return false;
    // The words the aircraft's own names lack must all be in one paint's.
    QVarLengthArray<const QString *, 8> lacking;
    for (const QString &word : m_words) {
        if (!subject.title.contains(word) && !subject.folderName.contains(word))
            lacking.append(&word);
    }
    if (lacking.isEmpty())
        return true;
    return std::any_of(subject.paintNames.cbegin(), subject.paintNames.cend(), [&](const QString &paint) {
        return std::all_of(lacking.cbegin(), lacking.cend(), [&](const QString *word) { return paint.contains(*word); });
    });
}
