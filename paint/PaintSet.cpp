#include "PaintSet.h"

#include <algorithm>

QString PaintChoice::paintLabel() const
{
    return original ? QStringLiteral("the original texture") : paint;
}

QString SetOutcome::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Applied:
        return QStringLiteral("applied");
    case Kind::AlreadyOn:
        return QStringLiteral("already on");
    case Kind::Listed:
        return QStringLiteral("listed");
    case Kind::MissingAircraft:
        return QStringLiteral("missing aircraft");
    case Kind::MissingPaint:
        return QStringLiteral("missing paint");
    case Kind::Refused:
        return QStringLiteral("refused");
    }
    return QString();
}

QString SetOutcome::line() const
{
    QString text = QStringLiteral("%1: %2 %3").arg(aircraft, kindName(kind), paint);
    if (!result.ok)
        text += QStringLiteral(" (%1)").arg(result.line());
    else if (!result.note.isEmpty())
        text += QStringLiteral(" (%1)").arg(result.note);
    return text;
}

QList<SetOutcome> SetReport::questions() const
{
    QList<SetOutcome> asked;
    std::copy_if(outcomes.cbegin(), outcomes.cend(), std::back_inserter(asked),
                 [](const SetOutcome &outcome) { return !outcome.result.ok && outcome.result.changedOutside; });
    return asked;
}

int SetReport::count(SetOutcome::Kind kind) const
{
    return int(std::count_if(outcomes.cbegin(), outcomes.cend(), [&](const SetOutcome &outcome) { return outcome.kind == kind; }));
}

bool SetReport::hasProblems() const
{
    return std::any_of(outcomes.cbegin(), outcomes.cend(), [](const SetOutcome &outcome) { return outcome.isProblem(); });
}
