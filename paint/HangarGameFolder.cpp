#include "Hangar.h"

#include "GameFiles.h"
#include "NativePath.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool holdsAircraftFolder(const QString &folder)
{
    // Some installs spell it AIRCRAFT; the game does not mind.
    return QFileInfo(GameFiles::findGameFile(NativePath::withTrailingSeparator(folder) + QStringLiteral("Aircraft"))).isDir();
}

} // namespace

PaintResult Hangar::understandGameFolder(const QString &picked)
{
    if (picked.isEmpty()) {
        return PaintResult::failure(QString(), QStringLiteral("No game folder is given. Pick cfs3.exe in the folder "
                                                              "where CFS3 is installed."));
    }
    const QFileInfo info(GameFiles::findGameFile(QDir::cleanPath(QDir::fromNativeSeparators(picked))));
    if (!info.exists())
        return PaintResult::failure(picked, QStringLiteral("There is no such file or folder."));
    // cfs3.exe, or any file the player picked in the game's folder.
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    if (holdsAircraftFolder(folder))
        return PaintResult::success(NativePath::withTrailingSeparator(folder));
    // The Aircraft folder itself, or a file in it: the game folder is above.
    const QFileInfo folderInfo(folder);
    if (folderInfo.fileName().compare(QLatin1StringView("Aircraft"), Qt::CaseInsensitive) == 0) {
        const QString above = folderInfo.absolutePath();
        if (holdsAircraftFolder(above))
            return PaintResult::success(NativePath::withTrailingSeparator(above));
    }
    return PaintResult::failure(NativePath::withTrailingSeparator(folder),
                                QStringLiteral("This folder holds no Aircraft folder, so it is not the folder CFS3 is "
                                               "installed in."));
}

PaintResult Hangar::chooseGameFolder(const QString &picked)
{
    const PaintResult understood = understandGameFolder(picked);
    if (understood)
        setGameFolder(understood.file);
    return understood;
}
