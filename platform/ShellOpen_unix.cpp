#include "ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace corvane::platform {

bool isShortcut(const QString &fileName, const QString &)
{
    return !fileName.isEmpty() && QFileInfo(fileName).isSymLink();
}

std::optional<ShortcutTarget> resolveShortcut(const QString &fileName, QWidget *)
{
    const QFileInfo link(fileName);
    if (!link.isSymLink())
        return std::nullopt;
    const QString target = link.canonicalFilePath(); // empty for a dangling link
    if (target.isEmpty())
        return std::nullopt;
    return ShortcutTarget{target, QFileInfo(target).absolutePath()};
}

void startFile(const QString &fileName, const QString &folder, QWidget *)
{
    if (fileName.isEmpty())
        return;
    const QFileInfo file(fileName);
    if (!file.exists())
        return;
    if (file.isFile() && file.isExecutable()) {
        const QString workingFolder = folder.isEmpty() ? file.absolutePath() : folder;
        QProcess::startDetached(file.absoluteFilePath(), {}, workingFolder);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

} // namespace corvane::platform
