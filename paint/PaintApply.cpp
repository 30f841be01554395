#include "PaintApply.h"

#include "AircraftFileCheck.h"
#include "GameFiles.h"
#include "PaintTable.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString outsideFolderMessage()
{
    return QStringLiteral("This paint list names a texture outside the aircraft's folder.\n\n"
                          "Corvane only reads and writes textures inside the aircraft's folder, "
                          "so nothing was applied.");
}

// The files an apply must never overwrite, by the end of their name: the
// paint lists and definitions of the folder's aircraft, and backups.
QString protectedKind(const QString &fileName)
{
    if (fileName.endsWith(QLatin1StringView(".pnt"), Qt::CaseInsensitive))
        return QStringLiteral("a paint list");
    if (fileName.endsWith(QLatin1StringView(".xdp"), Qt::CaseInsensitive))
        return QStringLiteral("an aircraft definition");
    if (fileName.endsWith(QLatin1StringView(".bak"), Qt::CaseInsensitive))
        return QStringLiteral("a backup");
    return QString();
}

// What is at the backup's name counts only when it is a regular, non-empty
// file inside the folder. Anything else stands for an original that may be
// lost, so it is left alone and the player is asked to look.
QString backupProblem(const PaintTable &table, const QString &backup)
{
    const FileVerdict verdict = AircraftFileCheck::mayRead(table.folder(), backup);
    QString reason = verdict.reason;
    if (verdict && QFileInfo(verdict.realPath).size() == 0)
        reason = QStringLiteral("is empty");
    if (reason.isEmpty())
        return QString();
    return QStringLiteral("The backup of the original texture\n%1\n%2, so it cannot be trusted to "
                          "hold the original. Corvane will not overwrite the main texture while "
                          "that is so, and never deletes or replaces the backup itself.\n\n"
                          "Look at that file: put the original texture there, or move it away "
                          "if the main texture is still the original.")
        .arg(QDir::toNativeSeparators(backup), reason);
}

} // namespace

QString mainTextureProblem(const PaintTable &table)
{
    const QString target = GameFiles::findGameFile(table.mainTexturePath());
    QString kind = protectedKind(QFileInfo(target).fileName());
    if (kind.isEmpty()) {
        // A link with an innocent name may still lead to one of them.
        const QString real = QFileInfo(target).canonicalFilePath();
        if (!real.isEmpty())
            kind = protectedKind(QFileInfo(real).fileName());
    }
    if (kind.isEmpty())
        return QString();
    return QStringLiteral("The main texture named in this paint list,\n%1\nis %2, not a texture. "
                          "Correct the main texture line with \"Edit PNT file\".\n\n"
                          "Nothing was written.")
        .arg(QDir::toNativeSeparators(target), kind);
}

QString applyPaint(const PaintTable &table, int row)
{
    const QString source = table.texturePath(row);
    const QString target = table.mainTexturePath();
    if (source.isEmpty() || target.isEmpty())
        return outsideFolderMessage();
    if (const QString problem = mainTextureProblem(table); !problem.isEmpty())
        return problem;

    // Overwriting the game's only copy of its original texture is never
    // allowed: no sound backup, no apply.
    if (const QString problem = ensureBackup(table); !problem.isEmpty())
        return problem + QStringLiteral("\n\nNothing was applied.");

    QString reason;
    if (!GameFiles::copyReplacing(table.folder(), source, target, &reason)) {
        return QStringLiteral("The paint could not be applied from\n%1\nto\n%2\n%3\n\n"
                              "The installed texture was left as it was.")
            .arg(QDir::toNativeSeparators(GameFiles::findGameFile(source)),
                 QDir::toNativeSeparators(GameFiles::findGameFile(target)), reason);
    }
    return QString();
}

QString ensureBackup(const PaintTable &table)
{
    if (table.mainTexturePath().isEmpty())
        return QString();
    if (const QString problem = mainTextureProblem(table); !problem.isEmpty())
        return problem;
    const QString backup = GameFiles::findGameFile(table.backupPath());
    if (AircraftFileCheck::entryExists(backup))
        return backupProblem(table, backup);
    const QString installed = GameFiles::findGameFile(table.mainTexturePath());
    if (!AircraftFileCheck::entryExists(installed))
        return QString(); // nothing to back up: the apply creates the main texture
    QString reason;
    if (!GameFiles::copyIfAbsent(table.folder(), installed, table.backupPath(), &reason)) {
        return QStringLiteral("The backup of the original texture could not be made:\n%1\n%2")
            .arg(QDir::toNativeSeparators(table.backupPath()), reason);
    }
    return QString();
}
