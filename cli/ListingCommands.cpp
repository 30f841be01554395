#include "Commands.h"
#include "ExitStatus.h"
#include "GameFiles.h"
#include "Session.h"

#include <QFileInfo>
#include <QJsonArray>

int runAircraftCommand(Session &session, const Arguments &)
{
    QJsonArray list;
    session.print(QStringLiteral("title\tfolder\tlist file\tpaints\tinstalled"));
    for (int index = 0; index < session.hangar.aircraft().size(); ++index) {
        const QJsonObject aircraft = session.describeAircraft(index);
        list.append(aircraft);
        session.print(QStringLiteral("%1\t%2\t%3\t%4\t%5")
                          .arg(aircraft.value(QStringLiteral("title")).toString(),
                               aircraft.value(QStringLiteral("folder")).toString(),
                               aircraft.value(QStringLiteral("paintList")).toString(),
                               aircraft.value(QStringLiteral("paints")).isNull()
                                   ? QStringLiteral("?")
                                   : QString::number(aircraft.value(QStringLiteral("paints")).toInt()),
                               aircraft.value(QStringLiteral("installed")).toString()));
    }
    session.document.insert(QStringLiteral("aircraft"), list);
    return ExitStatus::Success;
}

int runPaintsCommand(Session &session, const Arguments &arguments)
{
    const int index = session.aircraftNamed(arguments.positional.at(0));
    if (index < 0)
        return ExitStatus::Failed;
    const QJsonObject aircraft = session.describeAircraft(index);
    session.document.insert(QStringLiteral("aircraft"), aircraft);
    if (const PaintResult selected = session.hangar.select(index); !selected) {
        session.fail(selected);
        return ExitStatus::Failed;
    }
    const PaintTable &table = session.hangar.paintTable();
    const std::optional<int> installed = session.hangar.installedRow();

    session.print(QStringLiteral("%1 (%2)").arg(aircraft.value(QStringLiteral("title")).toString(),
                                                aircraft.value(QStringLiteral("paintList")).toString()));
    // Rows 0 and 1 would otherwise show the aircraft's folder as their file.
    const bool namesMainTexture = table.namesMainTexture();
    session.document.insert(QStringLiteral("namesMainTexture"), namesMainTexture);
    if (!namesMainTexture)
        session.print(QStringLiteral("The paint list names no main texture, so no paint can be applied: select the "
                                     "aircraft in the window to pick it, or write its file name on the list's second "
                                     "value line."));
    QJsonArray rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        const QString file = row <= PaintTable::DefaultRow && !namesMainTexture ? QString() : table.texturePath(row);
        const bool exists = !file.isEmpty() && QFileInfo(file).isFile();
        const bool isInstalled = installed && *installed == row;
        rows.append(QJsonObject{
            {QStringLiteral("row"), row},
            {QStringLiteral("name"), table.displayText(row)},
            {QStringLiteral("file"), QDir::toNativeSeparators(file)},
            {QStringLiteral("exists"), exists},
            {QStringLiteral("installed"), isInstalled},
        });
        session.print(QStringLiteral("%1%2 %3\t%4%5")
                          .arg(isInstalled ? QStringLiteral("* ") : QStringLiteral("  "))
                          .arg(row, 2)
                          .arg(table.displayText(row),
                               file.isEmpty() ? (row <= PaintTable::DefaultRow ? QStringLiteral("(no main texture named)")
                                                                               : QStringLiteral("(outside the aircraft's folder)"))
                                              : QDir::toNativeSeparators(file),
                               exists || file.isEmpty() ? QString() : QStringLiteral("  (missing)")));
    }
    session.document.insert(QStringLiteral("rows"), rows);
    return ExitStatus::Success;
}

int runCheckCommand(Session &session, const Arguments &arguments)
{
    const std::optional<QList<int>> named = session.aircraftNamed(arguments.positional);
    if (!named)
        return ExitStatus::Failed;
    QList<int> chosen = *named;
    const bool everyAircraft = chosen.isEmpty();
    if (everyAircraft) {
        for (int index = 0; index < session.hangar.aircraft().size(); ++index)
            chosen.append(index);
    }

    QJsonArray found;
    auto report = [&](const QString &aircraft, const PaintResult &problem) {
        found.append(QJsonObject{{QStringLiteral("aircraft"), aircraft},
                                 {QStringLiteral("file"), problem.file},
                                 {QStringLiteral("problem"), problem.reason}});
        session.print(aircraft.isEmpty() ? problem.line() : aircraft + QStringLiteral(": ") + problem.line());
    };
    // What the scan left out, with the reason it knew: asked about one
    // aircraft, the others' files are none of the player's concern.
    if (everyAircraft) {
        for (const PaintResult &problem : session.hangar.scanReport())
            report(QString(), problem);
    }
    for (int index : chosen) {
        for (const PaintResult &problem : session.hangar.check(index))
            report(session.hangar.aircraft().at(index).title, problem);
    }

    session.document.insert(QStringLiteral("checked"), int(chosen.size()));
    session.document.insert(QStringLiteral("problems"), found);
    session.print(QStringLiteral("%1 aircraft checked, %2 problem(s).").arg(chosen.size()).arg(found.size()));
    // Problems are what was asked for, not failures of the command; the
    // status still tells a script whether all is well.
    return found.isEmpty() ? ExitStatus::Success : ExitStatus::Failed;
}
