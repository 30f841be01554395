#include "Commands.h"
#include "ExitStatus.h"
#include "GameLocation.h"
#include "Session.h"

#include <QDir>

namespace {

QString sourceName(GameLocation::Origin::Source source)
{
    switch (source) {
    case GameLocation::Origin::Given: return QStringLiteral("option");
    case GameLocation::Origin::Settings: return QStringLiteral("settings");
    case GameLocation::Origin::Registry: return QStringLiteral("registry");
    case GameLocation::Origin::Nowhere: break;
    }
    return QStringLiteral("none");
}

} // namespace

int runInfoCommand(Session &session, const Arguments &)
{
    const GameLocation::Origin &origin = session.gameOrigin;
    session.document.insert(QStringLiteral("source"), sourceName(origin.source));
    session.document.insert(QStringLiteral("prefix"),
                            origin.prefix.isEmpty() ? QJsonValue() : QJsonValue(QDir::toNativeSeparators(origin.prefix)));
    if (origin.folder.isEmpty()) {
        session.document.insert(QStringLiteral("game"), QJsonValue());
        session.fail(QStringLiteral("The game's folder is not known: %1. Give it with --game FOLDER, or pick cfs3.exe "
                                    "with \"CFS3?\" in the window.")
                         .arg(GameLocation::describeSource(origin)));
        return ExitStatus::Failed;
    }
    // A folder that is not the game's was told already; where it came from
    // is what the player needs to mend it.
    const Hangar &hangar = session.hangar;
    session.document.insert(QStringLiteral("aircraftFolder"),
                            hangar.aircraftFolder().isEmpty() ? QJsonValue() : QJsonValue(hangar.aircraftFolder()));
    session.document.insert(QStringLiteral("aircraft"), int(hangar.aircraft().size()));
    session.print(QStringLiteral("game folder     %1").arg(QDir::toNativeSeparators(origin.folder)));
    session.print(QStringLiteral("found in        %1").arg(GameLocation::describeSource(origin)));
    if (hangar.aircraftFolder().isEmpty()) {
        session.print(QStringLiteral("aircraft folder (none)"));
        return ExitStatus::Failed;
    }
    session.print(QStringLiteral("aircraft folder %1 (%2 aircraft)").arg(hangar.aircraftFolder()).arg(hangar.aircraft().size()));
    return ExitStatus::Success;
}
