#include "Commands.h"
#include "ExitStatus.h"
#include "PaintSetFile.h"
#include "PaintSetStore.h"
#include "Session.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QJsonObject describe(const SetOutcome &outcome)
{
    return QJsonObject{{QStringLiteral("aircraft"), outcome.aircraft},
                       {QStringLiteral("paint"), outcome.paint},
                       {QStringLiteral("outcome"), SetOutcome::kindName(outcome.kind)},
                       {QStringLiteral("file"), outcome.result.file},
                       {QStringLiteral("reason"), outcome.result.ok ? outcome.result.note : outcome.result.reason},
                       {QStringLiteral("changedOutside"), outcome.result.changedOutside}};
}

// One line per aircraft. Where problems are failures of the command (an
// apply), they go to standard error and count for the exit status; where
// they are what was asked for (what a save left out), they are listed.
void report(Session &session, const SetReport &report, bool problemsFail)
{
    QJsonArray outcomes;
    for (const SetOutcome &outcome : report.outcomes) {
        outcomes.append(describe(outcome));
        if (outcome.isProblem() && problemsFail)
            session.fail(PaintResult::failure(outcome.result.file, outcome.line()));
        else
            session.print(outcome.line());
    }
    session.document.insert(QStringLiteral("outcomes"), outcomes);
}

bool needsGame(Session &session)
{
    if (!session.hangar.gameFolder().isEmpty())
        return true;
    session.fail(QStringLiteral("The game's folder is not known: give it with --game FOLDER."));
    return false;
}

std::optional<PaintSet> loaded(Session &session, const PaintSetStore &store, const QString &name)
{
    PaintSet set;
    if (const PaintResult read = store.load(name, set); !read) {
        session.fail(read);
        return std::nullopt;
    }
    return set;
}

int list(Session &session, const PaintSetStore &store)
{
    QList<PaintResult> problems;
    const QStringList names = store.names(&problems);
    for (const PaintResult &problem : std::as_const(problems))
        session.fail(problem);
    QJsonArray sets;
    for (const QString &name : names) {
        PaintSet set;
        const int count = store.load(name, set) ? int(set.choices.size()) : 0;
        sets.append(QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("aircraft"), count}});
        session.print(QStringLiteral("%1\t%2 aircraft").arg(name).arg(count));
    }
    session.document.insert(QStringLiteral("sets"), sets);
    if (names.isEmpty())
        session.print(QStringLiteral("There are no paint sets yet; \"corvane-cli set save NAME\" makes one."));
    return ExitStatus::Success;
}

int show(Session &session, const PaintSetStore &store, const QString &name)
{
    const std::optional<PaintSet> set = loaded(session, store, name);
    if (!set)
        return ExitStatus::Failed;
    session.document.insert(QStringLiteral("set"), QJsonDocument::fromJson(PaintSetFile::toJson(*set)).object());
    session.print(QStringLiteral("%1: %2 aircraft").arg(set->name).arg(set->choices.size()));
    for (const PaintChoice &choice : set->choices) {
        session.print(QStringLiteral("%1 (folder %2)\t%3").arg(choice.aircraftLabel(), choice.folder,
                                                              choice.original ? QStringLiteral("original")
                                                                              : QStringLiteral("%1 (%2)").arg(choice.paint, choice.textureFile)));
    }
    return ExitStatus::Success;
}

int save(Session &session, PaintSetStore &store, const Arguments &arguments)
{
    const QString name = arguments.positional.at(1);
    if (const QString problem = PaintSetFile::problemWithName(name); !problem.isEmpty()) {
        session.fail(problem);
        return ExitStatus::Failed;
    }
    QList<int> only;
    if (arguments.has(QStringLiteral("only"))) {
        const std::optional<QList<int>> named = session.aircraftNamed(arguments.positional.mid(2));
        if (!named)
            return ExitStatus::Failed;
        only = *named;
    }
    SetReport left;
    const PaintSet set = session.hangar.currentSet(name, only, &left);
    report(session, left, false);
    if (const PaintResult saved = store.save(set); !saved) {
        session.fail(saved);
        return ExitStatus::Failed;
    }
    session.document.insert(QStringLiteral("file"), store.folder() + name + QStringLiteral(".json"));
    session.print(QStringLiteral("Saved the paint set \"%1\" with %2 aircraft.").arg(name).arg(set.choices.size()));
    return ExitStatus::Success;
}

int apply(Session &session, const PaintSetStore &store, const Arguments &arguments)
{
    const std::optional<PaintSet> set = loaded(session, store, arguments.positional.at(1));
    if (!set)
        return ExitStatus::Failed;
    const Hangar::ChangedOriginal changed = arguments.has(QStringLiteral("adopt")) ? Hangar::ChangedOriginal::Adopt
                                                                                  : Hangar::ChangedOriginal::Refuse;
    const SetReport applied = session.hangar.applySet(*set, changed);
    report(session, applied, true);
    const QList<SetOutcome> questions = applied.questions();
    QJsonArray asked;
    for (const SetOutcome &question : questions)
        asked.append(question.aircraft);
    session.document.insert(QStringLiteral("questions"), asked);
    session.print(QStringLiteral("%1 applied, %2 already on, %3 not applied.")
                      .arg(applied.count(SetOutcome::Kind::Applied))
                      .arg(applied.count(SetOutcome::Kind::AlreadyOn))
                      .arg(applied.outcomes.size() - applied.count(SetOutcome::Kind::Applied)
                           - applied.count(SetOutcome::Kind::AlreadyOn)));
    if (!questions.isEmpty()) {
        QStringList names;
        for (const SetOutcome &question : questions)
            names << question.aircraft;
        session.errorStream() << "corvane-cli: the main texture of " << names.join(QStringLiteral(", "))
                              << " changed outside Corvane. Run again with --adopt to keep each as the new original "
                                 "(the old one stays as a paint) and apply the set there too."
                              << Qt::endl;
    }
    return ExitStatus::Success;
}

int exportSet(Session &session, const PaintSetStore &store, const Arguments &arguments)
{
    const std::optional<PaintSet> set = loaded(session, store, arguments.positional.at(1));
    if (!set)
        return ExitStatus::Failed;
    SetReport hashed;
    const PaintSet shared = session.hangar.shareable(*set, &hashed);
    report(session, hashed, false);
    const PaintResult written = PaintSetStore::exportTo(shared, arguments.positional.at(2));
    if (!written) {
        session.fail(written);
        return ExitStatus::Failed;
    }
    session.document.insert(QStringLiteral("file"), written.file);
    session.print(QStringLiteral("Wrote the paint set \"%1\" with %2 aircraft to %3.")
                      .arg(shared.name)
                      .arg(shared.choices.size())
                      .arg(written.file));
    return ExitStatus::Success;
}

int importSet(Session &session, PaintSetStore &store, const Arguments &arguments)
{
    const QString file = arguments.positional.at(1);
    PaintSet shared;
    if (const PaintResult read = PaintSetFile::read(file, shared); !read) {
        session.fail(read);
        return ExitStatus::Failed;
    }
    const QString name = arguments.values.value(QStringLiteral("name"), shared.name);
    if (const QString bad = PaintSetFile::problemWithName(name); !bad.isEmpty()) {
        session.fail(file, bad + QStringLiteral(" Give the set a name with --name NAME."));
        return ExitStatus::Failed;
    }
    if (store.contains(name)) {
        session.fail(QStringLiteral("There is a paint set called \"%1\" already: give the imported one another name "
                                    "with --name NAME.")
                         .arg(name));
        return ExitStatus::Failed;
    }
    SetReport matched;
    PaintSet here = session.hangar.matchHere(shared, &matched);
    here.name = name;
    report(session, matched, false);
    if (const PaintResult added = store.add(here); !added) {
        session.fail(added);
        return ExitStatus::Failed;
    }
    session.document.insert(QStringLiteral("name"), name);
    session.print(QStringLiteral("Imported the paint set \"%1\": %2 of %3 aircraft found with their paint.")
                      .arg(name)
                      .arg(matched.count(SetOutcome::Kind::Listed))
                      .arg(here.choices.size()));
    return ExitStatus::Success;
}

struct Form
{
    QString action;
    int arguments; // after the action; -1: any number (with --only)
};

} // namespace

int runSetCommand(Session &session, const Arguments &arguments)
{
    static const QList<Form> forms{{QStringLiteral("list"), 0},   {QStringLiteral("save"), 1},
                                   {QStringLiteral("apply"), 1},  {QStringLiteral("show"), 1},
                                   {QStringLiteral("delete"), 1}, {QStringLiteral("export"), 2},
                                   {QStringLiteral("import"), 1}};
    const QString action = arguments.positional.at(0);
    const auto form = std::find_if(forms.cbegin(), forms.cend(), [&](const Form &f) { return f.action == action; });
    const int given = int(arguments.positional.size()) - 1;
    const bool withOnly = action == QLatin1String("save") && arguments.has(QStringLiteral("only"));
    if (form == forms.cend() || given < form->arguments || (given > form->arguments && !withOnly)) {
        session.fail(QStringLiteral("set takes: list | save NAME [--only AIRCRAFT...] | apply NAME [--adopt] | "
                                    "show NAME | delete NAME | export NAME FILE | import FILE [--name NAME]"));
        return ExitStatus::Usage;
    }
    const bool flagsFit = (!arguments.has(QStringLiteral("only")) || action == QLatin1String("save"))
                          && (!arguments.has(QStringLiteral("adopt")) || action == QLatin1String("apply"))
                          && (!arguments.values.contains(QStringLiteral("name")) || action == QLatin1String("import"));
    if (!flagsFit) {
        session.fail(QStringLiteral("--only goes with save, --adopt with apply, --name with import."));
        return ExitStatus::Usage;
    }

    PaintSetStore store;
    session.document.insert(QStringLiteral("folder"), store.folder());
    if (action == QLatin1String("list"))
        return list(session, store);
    if (action == QLatin1String("show"))
        return show(session, store, arguments.positional.at(1));
    if (action == QLatin1String("delete")) {
        const PaintResult removed = store.remove(arguments.positional.at(1));
        if (!removed) {
            session.fail(removed);
            return ExitStatus::Failed;
        }
        session.print(QStringLiteral("Deleted the paint set \"%1\".").arg(arguments.positional.at(1)));
        return ExitStatus::Success;
    }
    if (!needsGame(session))
        return ExitStatus::Failed;
    if (action == QLatin1String("save"))
        return save(session, store, arguments);
    if (action == QLatin1String("apply"))
        return apply(session, store, arguments);
    if (action == QLatin1String("export"))
        return exportSet(session, store, arguments);
    return importSet(session, store, arguments);
}
