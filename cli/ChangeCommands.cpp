#include "Commands.h"
#include "ExitStatus.h"
#include "GameText.h"
#include "Session.h"

#include <QFileInfo>
#include <QJsonArray>

namespace {

// The aircraft a changing command works on, opened as the window opens it
// (its list created when missing, only this aircraft's); -1 after telling
// why not.
int workOn(Session &session, const QString &name)
{
    const int index = session.aircraftNamed(name);
    if (index < 0)
        return -1;
    if (const PaintResult opened = session.hangar.open(index, Hangar::ListCreation::CreateMissing); !opened) {
        session.fail(opened);
        return -1;
    }
    return index;
}

QString titleOf(Session &session, int index)
{
    return session.hangar.aircraft().at(index).title;
}

Hangar::ChangedOriginal changedOriginalFrom(const Arguments &arguments)
{
    return arguments.has(QStringLiteral("adopt")) ? Hangar::ChangedOriginal::Adopt : Hangar::ChangedOriginal::Refuse;
}

// A main texture found nowhere else: the player is told how to go ahead.
PaintResult withAdoptHint(PaintResult result)
{
    if (result.changedOutside)
        result.reason += QStringLiteral("\nRun again with --adopt to keep it as the new original (the old one stays "
                                        "as a paint), or see \"corvane-cli adopt --help\".");
    return result;
}

} // namespace

int runApplyCommand(Session &session, const Arguments &arguments)
{
    const int index = workOn(session, arguments.positional.at(0));
    if (index < 0)
        return ExitStatus::Failed;
    const int row = session.paintRowNamed(arguments.positional.at(1), PaintTable::DefaultRow);
    if (row < 0)
        return ExitStatus::Failed;
    const QString paint = session.hangar.paintTable().displayText(row);
    const PaintResult applied = session.hangar.apply(row, changedOriginalFrom(arguments));
    session.document.insert(QStringLiteral("aircraft"), titleOf(session, index));
    session.document.insert(QStringLiteral("paint"), paint);
    session.document.insert(QStringLiteral("row"), row);
    session.document.insert(QStringLiteral("mainTexture"), applied.file);
    session.document.insert(QStringLiteral("changedOutside"), applied.changedOutside);
    if (!applied) {
        session.fail(withAdoptHint(applied));
        return ExitStatus::Failed;
    }
    session.document.insert(QStringLiteral("note"), applied.note);
    session.print(QStringLiteral("%1: applied %2").arg(titleOf(session, index), paint));
    if (!applied.note.isEmpty())
        session.print(QStringLiteral("%1: %2").arg(titleOf(session, index), applied.note));
    return ExitStatus::Success;
}

int runRestoreCommand(Session &session, const Arguments &arguments)
{
    const bool all = arguments.has(QStringLiteral("all"));
    if (all == !arguments.positional.isEmpty()) {
        session.fail(QStringLiteral("restore takes either aircraft names or --all."));
        return ExitStatus::Usage;
    }

    // Every aircraft goes through the core's pick and loop; named ones are
    // restored one by one, so one without a backup is told as a failure.
    QList<std::pair<int, PaintResult>> results;
    if (all) {
        const QList<Hangar::RestoreOutcome> outcomes =
            session.hangar.restoreAll(session.hangar.aircraftToRestore(), changedOriginalFrom(arguments));
        for (const Hangar::RestoreOutcome &outcome : outcomes)
            results.append({outcome.index, outcome.result});
    } else {
        const std::optional<QList<int>> named = session.aircraftNamed(arguments.positional);
        if (!named)
            return ExitStatus::Failed;
        for (int index : *named) {
            PaintResult result = session.hangar.createPaintList(index);
            if (result)
                result = session.hangar.select(index);
            if (result)
                result = session.hangar.restore(changedOriginalFrom(arguments));
            results.append({index, result});
        }
    }

    QJsonArray restored;
    for (const auto &[index, outcome] : std::as_const(results)) {
        const PaintResult result = withAdoptHint(outcome);
        restored.append(QJsonObject{{QStringLiteral("aircraft"), titleOf(session, index)},
                                    {QStringLiteral("folder"), session.hangar.folderNameOf(index)},
                                    {QStringLiteral("file"), result.file},
                                    {QStringLiteral("ok"), result.ok},
                                    {QStringLiteral("changedOutside"), result.changedOutside},
                                    {QStringLiteral("reason"), result.reason}});
        if (result && !result.note.isEmpty())
            session.print(QStringLiteral("%1: %2").arg(titleOf(session, index), result.note));
        if (result)
            session.print(QStringLiteral("%1: original texture restored").arg(titleOf(session, index)));
        else
            session.fail(PaintResult::failure(result.file, titleOf(session, index) + QStringLiteral(": ") + result.reason));
    }
    session.document.insert(QStringLiteral("restored"), restored);
    if (all && results.isEmpty())
        session.print(QStringLiteral("No aircraft wears a paint with a backup to restore."));
    return ExitStatus::Success;
}

int runAdoptCommand(Session &session, const Arguments &arguments)
{
    const std::optional<QList<int>> chosen = session.aircraftNamed(arguments.positional);
    if (!chosen)
        return ExitStatus::Failed;
    QJsonArray adopted;
    for (int index : *chosen) {
        PaintResult result = session.hangar.createPaintList(index);
        if (result)
            result = session.hangar.select(index);
        if (result)
            result = session.hangar.adopt();
        adopted.append(QJsonObject{{QStringLiteral("aircraft"), titleOf(session, index)},
                                   {QStringLiteral("folder"), session.hangar.folderNameOf(index)},
                                   {QStringLiteral("file"), result.file},
                                   {QStringLiteral("ok"), result.ok},
                                   {QStringLiteral("adopted"), result.ok && !result.note.isEmpty()},
                                   {QStringLiteral("reason"), result.ok ? result.note : result.reason}});
        if (!result)
            session.fail(PaintResult::failure(result.file, titleOf(session, index) + QStringLiteral(": ") + result.reason));
        else if (!result.note.isEmpty())
            session.print(QStringLiteral("%1: %2").arg(titleOf(session, index), result.note));
        else
            session.print(QStringLiteral("%1: nothing to adopt; the main texture is the original or a listed paint")
                              .arg(titleOf(session, index)));
    }
    session.document.insert(QStringLiteral("adopted"), adopted);
    return ExitStatus::Success;
}

int runAddCommand(Session &session, const Arguments &arguments)
{
    const int index = workOn(session, arguments.positional.at(0));
    if (index < 0)
        return ExitStatus::Failed;
    const QString name = arguments.positional.at(1);
    const PaintResult added = session.hangar.addPaint(GameText::encode(name), arguments.positional.at(2));
    if (!added) {
        PaintResult told = added;
        if (added.nameTaken && !added.freeName.isEmpty())
            told.reason += QStringLiteral("\nCopy it under another name, such as \"%1\", and add that file.").arg(added.freeName);
        session.fail(told);
        return ExitStatus::Failed;
    }
    const int row = session.hangar.paintTable().rowCount() - 1;
    session.document.insert(QStringLiteral("aircraft"), titleOf(session, index));
    session.document.insert(QStringLiteral("paint"), name);
    session.document.insert(QStringLiteral("row"), row);
    session.document.insert(QStringLiteral("file"), added.file);
    session.print(QStringLiteral("%1: added %2 as row %3 (%4)").arg(titleOf(session, index), name).arg(row).arg(added.file));
    if (!added.note.isEmpty()) {
        session.fail(added.file, added.note);
        return ExitStatus::Failed;
    }
    return ExitStatus::Success;
}

int runRemoveCommand(Session &session, const Arguments &arguments)
{
    const int index = workOn(session, arguments.positional.at(0));
    if (index < 0)
        return ExitStatus::Failed;
    const int row = session.paintRowNamed(arguments.positional.at(1), PaintTable::FirstPaintRow);
    if (row < 0)
        return ExitStatus::Failed;
    const QString paint = session.hangar.paintTable().displayText(row);
    const QString file = session.hangar.paintTable().texturePath(row);
    if (const PaintResult removed = session.hangar.remove(row); !removed) {
        session.fail(removed);
        return ExitStatus::Failed;
    }
    session.document.insert(QStringLiteral("aircraft"), titleOf(session, index));
    session.document.insert(QStringLiteral("paint"), paint);
    session.document.insert(QStringLiteral("row"), row);
    session.document.insert(QStringLiteral("file"), QDir::toNativeSeparators(file));
    session.print(QStringLiteral("%1: removed %2 (its file stays)").arg(titleOf(session, index), paint));
    return ExitStatus::Success;
}
