#include "PaintApply.h"

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

} // namespace

QString applyPaint(const PaintTable &table, int row)
{
    const QString source = table.texturePath(row);
    const QString target = table.mainTexturePath();
    if (source.isEmpty() || target.isEmpty())
        return outsideFolderMessage();

    // Overwriting the game's only copy of its original texture is never
    // allowed: no backup, no apply.
    const QString installed = GameFiles::findGameFile(target);
    const QString backup = GameFiles::findGameFile(table.backupPath());
    if (QFileInfo(installed).isFile() && !QFileInfo::exists(backup)) {
        QString reason;
        if (!GameFiles::copyIfAbsent(target, table.backupPath(), &reason)) {
            return QStringLiteral("The backup of the original texture could not be made:\n%1\n%2\n\n"
                                  "Nothing was applied.")
                .arg(QDir::toNativeSeparators(table.backupPath()), reason);
        }
    }

    QString reason;
    if (!GameFiles::copyReplacing(source, target, &reason)) {
        return QStringLiteral("The paint could not be applied from\n%1\nto\n%2\n%3\n\n"
                              "The installed texture was left as it was.")
            .arg(QDir::toNativeSeparators(GameFiles::findGameFile(source)),
                 QDir::toNativeSeparators(installed), reason);
    }
    return QString();
}
