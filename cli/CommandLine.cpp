#include "CommandLine.h"

#include "Commands.h"
#include "ExitStatus.h"
#include "GameLocation.h"
#include "GameRegistry.h"
#include "SectionName.h"
#include "Session.h"
#include "PlayerSettings.h"
#include "UserSettings.h"

#include <QDir>

namespace {

QString overview()
{
    QString text = QStringLiteral(
        "Usage: corvane-cli [--game FOLDER] [--json] COMMAND ...\n\n"
        "Keeps alternative paints of the aircraft of CFS3, as Corvane does.\n\n"
        "Commands:\n");
    // A synopsis too long for its column gets a line of its own, so it never
    // runs into its summary.
    constexpr qsizetype SummaryColumn = 44;
    for (const Command &command : commands()) {
        const QString synopsis = QStringLiteral("  ") + command.synopsis;
        if (synopsis.size() < SummaryColumn - 1)
            text += synopsis.leftJustified(SummaryColumn) + command.summary + u'\n';
        else
            text += synopsis + u'\n' + QString(SummaryColumn, u' ') + command.summary + u'\n';
    }
    text += QStringLiteral(
        "\nOptions:\n"
        "  --game FOLDER   the game's folder; else the one Corvane keeps, else the game's registry entry\n"
        "  --json          print one JSON document on standard output\n"
        "  --help          this text; after a command, that command's help\n"
        "  --version       the program's version\n\n"
        "Exit status: 0 done, 1 the work failed (each failure on standard error), 2 a usage error.\n");
    return text;
}

QString helpOf(const Command &command)
{
    return QStringLiteral("Usage: corvane-cli [--game FOLDER] [--json] %1\n\n%2.\n\n%3\n")
        .arg(command.synopsis, command.summary.at(0).toUpper() + command.summary.mid(1), command.details);
}

const Command *commandNamed(const QString &name)
{
    for (const Command &command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

struct Parsed
{
    QString game;
    bool json = false;
    bool help = false;
    bool version = false;
    const Command *command = nullptr;
    Arguments arguments;
    QString error; // a usage error
};

// Global options may stand before or after the command; a command's own
// options anywhere after it; "--" ends the options.
Parsed parse(const QStringList &words)
{
    Parsed parsed;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &word = words.at(i);
        if (optionsEnded || !word.startsWith(QLatin1String("-")) || word == QLatin1String("-")) {
            if (!parsed.command) {
                parsed.command = commandNamed(word);
                if (!parsed.command) {
                    parsed.error = QStringLiteral("unknown command \"%1\"").arg(word);
                    return parsed;
                }
            } else {
                parsed.arguments.positional << word;
            }
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = word.mid(word.startsWith(QLatin1String("--")) ? 2 : 1);
        QString value;
        bool hasValue = false;
        if (const qsizetype equals = name.indexOf(u'='); equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= words.size()) {
                parsed.error = QStringLiteral("%1 needs a value").arg(word);
                return false;
            }
            value = words.at(++i);
            return true;
        };

        if (name == QLatin1String("help") || name == QLatin1String("h")) {
            parsed.help = true;
        } else if (name == QLatin1String("version")) {
            parsed.version = true;
        } else if (name == QLatin1String("json")) {
            parsed.json = true;
        } else if (name == QLatin1String("game")) {
            if (!takeValue())
                return parsed;
            parsed.game = value;
        } else if (parsed.command && parsed.command->valueOptions.contains(name)) {
            if (!takeValue())
                return parsed;
            parsed.arguments.values.insert(name, value);
        } else if (parsed.command && parsed.command->flagOptions.contains(name) && !hasValue) {
            parsed.arguments.flags.insert(name);
        } else {
            parsed.error = QStringLiteral("unknown option %1").arg(word);
            return parsed;
        }
    }
    return parsed;
}

QString argumentCountProblem(const Command &command, const Arguments &arguments)
{
    const qsizetype count = arguments.positional.size();
    if (count < command.minimumArguments)
        return QStringLiteral("%1: too few arguments").arg(command.name);
    if (command.maximumArguments >= 0 && count > command.maximumArguments)
        return QStringLiteral("%1: too many arguments").arg(command.name);
    return QString();
}

// --game, else the folder the window keeps, else the game's own entry;
// found exactly as the window finds it, and the settings are never written.
GameLocation::Origin gameFolder(const QString &given, QTextStream &err)
{
    if (!given.isEmpty())
        return {QDir(given).absolutePath(), GameLocation::Origin::Given, QString()};
    PlayerSettings settings(openUserSettings(), SectionName, [&err](const PaintResult &problem) {
        err << "corvane-cli: settings: " << problem.message() << Qt::endl;
    });
    return settings.locateGame(readGameInstallEntry);
}

} // namespace

int runCommandLine(const QStringList &words, QTextStream &out, QTextStream &err)
{
    const Parsed parsed = parse(words);
    if (!parsed.error.isEmpty()) {
        err << "corvane-cli: " << parsed.error << "\n\n"
            << (parsed.command ? helpOf(*parsed.command) : overview());
        err.flush();
        return ExitStatus::Usage;
    }
    if (parsed.version && !parsed.help) {
        out << "corvane-cli " << CORVANE_VERSION << Qt::endl;
        return ExitStatus::Success;
    }
    if (parsed.help || !parsed.command) {
        QTextStream &stream = parsed.help ? out : err;
        stream << (parsed.command ? helpOf(*parsed.command) : overview());
        stream.flush();
        return parsed.help ? ExitStatus::Success : ExitStatus::Usage;
    }
    const Command &command = *parsed.command;
    if (const QString problem = argumentCountProblem(command, parsed.arguments); !problem.isEmpty()) {
        err << "corvane-cli: " << problem << "\n\n" << helpOf(command);
        err.flush();
        return ExitStatus::Usage;
    }

    Session session(out, err, parsed.json);
    session.document.insert(QStringLiteral("command"), command.name);
    if (command.needsGame || command.locatesGame) {
        session.gameOrigin = gameFolder(parsed.game, err);
        const QString folder = session.gameOrigin.folder;
        if (folder.isEmpty() && command.needsGame) {
            session.fail(QStringLiteral("The game's folder is not known: give it with --game FOLDER."));
            return session.finish();
        }
        if (!folder.isEmpty()) {
            // A wrong folder would read as a game without aircraft and
            // every command would seem to succeed on nothing.
            const PaintResult chosen = session.hangar.chooseGameFolder(folder);
            if (!chosen) {
                const QString from = session.gameOrigin.source == GameLocation::Origin::Given
                                         ? QStringLiteral("It was given with --game.")
                                         : QStringLiteral("It was found in %1; give the game's folder with --game FOLDER.")
                                               .arg(GameLocation::describeSource(session.gameOrigin));
                session.fail(PaintResult::failure(chosen.file, chosen.reason + u' ' + from));
                if (command.needsGame)
                    return session.finish();
            } else {
                session.gameOrigin.folder = session.hangar.gameFolder();
                session.document.insert(QStringLiteral("game"), session.hangar.gameFolder());
                session.hangar.scan(Hangar::ListCreation::ReadOnly);
            }
        }
    }
    const int status = command.run(session, parsed.arguments);
    const int finished = session.finish();
    return status != ExitStatus::Success ? status : finished;
}
