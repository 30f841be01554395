#include "Commands.h"
#include "ExitStatus.h"
#include "ProgressLine.h"
#include "Session.h"

#include <QJsonArray>

namespace {

QString matchText(MatchReason reason)
{
    switch (reason) {
    case MatchReason::Chosen: return QStringLiteral("chosen");
    case MatchReason::Name: return QStringLiteral("name");
    case MatchReason::Shape: return QStringLiteral("size and format");
    case MatchReason::Ambiguous: return QStringLiteral("ambiguous");
    case MatchReason::None: break;
    }
    return QStringLiteral("none");
}

QJsonObject describeItem(const InstallItem &item, const QList<AircraftEntry> &aircraft)
{
    QJsonArray candidates;
    for (int i : item.match.candidates)
        candidates.append(aircraft.at(i).title);
    return QJsonObject{
        {QStringLiteral("download"), item.download},
        {QStringLiteral("texture"), item.texture.source},
        {QStringLiteral("aircraft"), item.aircraft >= 0 ? QJsonValue(aircraft.at(item.aircraft).title) : QJsonValue()},
        {QStringLiteral("match"), matchText(item.match.reason)},
        {QStringLiteral("candidates"), candidates},
        {QStringLiteral("paint"), item.paintName},
        {QStringLiteral("install"), item.selected && item.aircraft >= 0},
        {QStringLiteral("makeDds"), item.makeDds},
        {QStringLiteral("picture"), describePicture(item)},
    };
}

} // namespace

int runInstallCommand(Session &session, const Arguments &arguments)
{
    int chosen = -1;
    if (arguments.values.contains(QStringLiteral("aircraft"))) {
        chosen = session.aircraftNamed(arguments.values.value(QStringLiteral("aircraft")));
        if (chosen < 0)
            return ExitStatus::Failed;
    }
    const InstallRequest request{arguments.positional, chosen, arguments.values.value(QStringLiteral("name")),
                                 arguments.has(QStringLiteral("keep-pictures"))};
    const bool installing = arguments.has(QStringLiteral("yes"));
    InstallProgress progress;
    ProgressLine progressLine(session.errorStream());
    // Installing as planned reads each download once; the plan is shown
    // as it was made, before what came of it.
    progressLine.follow(progress, installing ? QStringLiteral("Installing") : QStringLiteral("Reading"));
    InstallPlan plan;
    QList<AircraftInstallResult> results;
    if (installing)
        results = session.hangar.installAsPlanned(request, &plan, &progress);
    else
        plan = session.hangar.planInstall(request, &progress);
    progressLine.end();
    const QList<AircraftEntry> &aircraft = session.hangar.aircraft();

    QJsonArray items, skipped;
    for (const InstallItem &item : plan.items)
        items.append(describeItem(item, aircraft));
    for (const SkippedEntry &entry : plan.skipped)
        skipped.append(QJsonObject{{QStringLiteral("entry"), entry.source}, {QStringLiteral("reason"), entry.reason}});
    session.document.insert(QStringLiteral("plan"), items);
    session.document.insert(QStringLiteral("skipped"), skipped);
    for (const PaintResult &refusal : plan.refused)
        session.fail(refusal);
    session.print(describePlan(plan, aircraft).trimmed());

    if (!installing) {
        session.print(QStringLiteral("Nothing was installed: add --yes to install as planned."));
        return session.failed() ? ExitStatus::Failed : ExitStatus::Success;
    }
    for (const InstallItem &item : plan.items) {
        if (item.aircraft < 0)
            session.fail(item.texture.source,
                         QStringLiteral("No aircraft could be picked for this texture; name one with --aircraft."));
    }
    bool anyAdded = false;
    for (const AircraftInstallResult &result : results)
        anyAdded |= !result.added.isEmpty();
    if (!anyAdded)
        session.fail(QStringLiteral("Nothing was installed: the downloads held no texture that could be added."));
    QJsonArray installed;
    for (const AircraftInstallResult &result : results) {
        installed.append(QJsonObject{{QStringLiteral("aircraft"), aircraft.at(result.aircraft).title},
                                     {QStringLiteral("added"), QJsonArray::fromStringList(result.added)}});
        // The aircraft leads the line; the file stays the problem's own.
        for (const PaintResult &problem : result.problems)
            session.fail(problem.file, QStringLiteral("%1: %2").arg(aircraft.at(result.aircraft).title, problem.line()));
    }
    session.document.insert(QStringLiteral("installed"), installed);
    session.print(describeResults(results, aircraft).trimmed());
    return session.failed() ? ExitStatus::Failed : ExitStatus::Success;
}
