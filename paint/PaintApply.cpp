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

QString noMainTextureMessage()
{
    return QStringLiteral("This aircraft's paint list names no main texture, so Corvane cannot tell "
                          "which file the game uses, and nothing was applied.\n\n"
                          "Press \"Edit PNT file\" and write the main texture's file name "
                          "(usually the aircraft's name followed by _t.dds) on line 5 of the list, "
                          "then select the aircraft again.");
}

QString applyPaint(const PaintTable &table, int row)
{
    if (!table.namesMainTexture())
        return noMainTextureMessage();
    const QString source = table.texturePath(row);
    const QString target = table.mainTexturePath();
    if (source.isEmpty() || target.isEmpty())
        return outsideFolderMessage();

    // Overwriting the game's only copy of its original texture is never
    // allowed: no backup, no apply.
    if (const QString problem = ensureBackup(table); !problem.isEmpty()) {
        return QStringLiteral("The backup of the original texture could not be made:\n%1\n%2\n\n"
                              "Nothing was applied.")
            .arg(QDir::toNativeSeparators(table.backupPath()), problem);
    }

    QString reason;
    if (!GameFiles::copyReplacing(source, target, &reason)) {
        return QStringLiteral("The paint could not be applied from\n%1\nto\n%2\n%3\n\n"
                              "The installed texture was left as it was.")
            .arg(QDir::toNativeSeparators(GameFiles::findGameFile(source)),
                 QDir::toNativeSeparators(GameFiles::findGameFile(target)), reason);
    }
    return QString();
}

QString ensureBackup(const PaintTable &table)
{
    const QString installed = GameFiles::findGameFile(table.mainTexturePath());
    if (!QFileInfo(installed).isFile() || QFileInfo::exists(GameFiles::findGameFile(table.backupPath())))
        return QString();
    QString reason;
    if (!GameFiles::copyIfAbsent(installed, table.backupPath(), &reason))
        return reason;
    return QString();
}
