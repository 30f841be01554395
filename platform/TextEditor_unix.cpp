#include "TextEditor.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace {

// Graphical editors a desktop usually ships, most common first. Terminal
// editors are left out: started detached they would have no terminal.
const QStringList knownEditors = {
    QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kate"),
    QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("xed"),
    QStringLiteral("pluma"), QStringLiteral("featherpad"),
};

} // namespace

bool openInTextEditor(const QString &filePath, QWidget *)
{
    // VISUAL may carry options of its own ("code --new-window"); the path is
    // always one argument of its own, spaces and all.
    QStringList command = QProcess::splitCommand(qEnvironmentVariable("VISUAL"));
    if (command.isEmpty()) {
        for (const QString &editor : knownEditors) {
            if (!QStandardPaths::findExecutable(editor).isEmpty()) {
                command = {editor};
                break;
            }
        }
    }
    if (command.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
    const QString program = command.takeFirst();
    return QProcess::startDetached(program, command << filePath);
}
