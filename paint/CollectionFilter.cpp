#include "CollectionFilter.h"

#include <QRegularExpression>

void CollectionFilter::setText(const QString &text)
{
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    m_words = text.split(spaces, Qt::SkipEmptyParts);
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
