#include "TextEditor.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>

#include <optional>

namespace {

constexpr int HelperTimeoutMs = 5000;

// Graphical editors a desktop usually ships, most common first.
const QStringList graphicalEditors = {
    QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kate"),
    QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("xed"),
    QStringLiteral("pluma"), QStringLiteral("featherpad"),
};

// Terminal emulators with the option after which they take a command and
// its arguments.
const QList<QStringList> terminalEmulators = {
    {QStringLiteral("x-terminal-emulator"), QStringLiteral("-e")},
    {QStringLiteral("gnome-terminal"), QStringLiteral("--")},
    {QStringLiteral("konsole"), QStringLiteral("-e")},
    {QStringLiteral("xfce4-terminal"), QStringLiteral("-x")},
    {QStringLiteral("xterm"), QStringLiteral("-e")},
};

bool onPath(const QString &program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// Runs a short-lived desktop helper; its output when it ends well.
std::optional<QString> runHelper(const QString &program, const QStringList &arguments)
{
    if (!onPath(program))
        return std::nullopt;
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C")); // output we parse
    helper.setProcessEnvironment(environment);
    helper.start(program, arguments);
    if (!helper.waitForFinished(HelperTimeoutMs)) {
        helper.kill();
        helper.waitForFinished();
        return std::nullopt;
    }
    if (helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(helper.readAllStandardOutput());
}

// The desktop entry of the application the desktop opens plain text with.
// Not the one for the file itself: ".pnt" is taken for a picture format.
QString plainTextApplication()
{
    if (const auto id = runHelper(QStringLiteral("xdg-mime"),
                                  {QStringLiteral("query"), QStringLiteral("default"),
                                   QStringLiteral("text/plain")})) {
        if (!id->trimmed().isEmpty())
            return id->trimmed();
    }
    // "Default application for “text/plain”: org.gnome.TextEditor.desktop"
    if (const auto answer = runHelper(QStringLiteral("gio"),
                                      {QStringLiteral("mime"), QStringLiteral("text/plain")})) {
        for (const QString &line : answer->split(u'\n')) {
            if (line.startsWith(QLatin1StringView("Default application")))
                return line.section(QStringLiteral(": "), -1).trimmed();
        }
    }
    return {};
}

bool startDefaultTextEditor(const QString &filePath)
{
    const QString id = plainTextApplication();
    if (!id.endsWith(QLatin1StringView(".desktop")))
        return false;
    const QString entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
    if (!entry.isEmpty()
        && runHelper(QStringLiteral("gio"), {QStringLiteral("launch"), entry, filePath}))
        return true;
    return runHelper(QStringLiteral("gtk-launch"), {id, filePath}).has_value();
}

bool startGraphicalEditor(const QString &filePath)
{
    for (const QString &editor : graphicalEditors) {
        if (onPath(editor) && QProcess::startDetached(editor, {filePath}))
            return true;
    }
    return false;
}

// VISUAL and EDITOR mostly name terminal editors (vim, nano), which started
// on their own would find no terminal and quit at once.
bool startEditorInTerminal(const QString &filePath)
{
    QStringList command;
    for (const char *variable : {"VISUAL", "EDITOR"}) {
        // The variable may carry options of its own ("vim -p"); the path
        // stays one argument, spaces and all.
        command = QProcess::splitCommand(qEnvironmentVariable(variable));
        if (!command.isEmpty() && onPath(command.constFirst()))
            break;
        command.clear();
    }
    if (command.isEmpty())
        return false;
    for (const QStringList &terminal : terminalEmulators) {
        if (onPath(terminal.constFirst()))
            return QProcess::startDetached(terminal.constFirst(),
                                           QStringList{terminal.constLast()} + command + QStringList{filePath});
    }
    return false;
}

} // namespace

bool openInTextEditor(const QString &filePath, QWidget *)
{
    return startDefaultTextEditor(filePath) || startGraphicalEditor(filePath)
        || startEditorInTerminal(filePath);
}
