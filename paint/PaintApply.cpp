#include "PaintApply.h"

#include "AircraftFileCheck.h"
#include "GameFiles.h"
#include "InstalledPaint.h"
#include "PaintTable.h"
#include "RegularFileOpen.h"
#include "TextureFile.h"
#include "TextureFormat.h"

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
    QString reason = verdict.refusal;
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

QString noMainTextureMessage()
{
    return QStringLiteral("This aircraft's paint list names no main texture, so Corvane cannot tell "
                          "which file the game uses, and nothing was applied.\n\n"
                          "Press \"Edit PNT file\" and write the main texture's file name "
                          "(usually the aircraft's name followed by _t.dds) on line 5 of the list, "
                          "then select the aircraft again.");
}

// Why the list's main texture may never be written at all (it names the
// aircraft's paint list, its definition, or a backup), or an empty text.
static QString mainTextureProblem(const PaintTable &table)
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

QString changedOutsideMessage(const QString &mainTexturePath)
{
    return QStringLiteral("The main texture\n%1\nchanged outside Corvane, perhaps by an update of the aircraft: it "
                          "matches neither the backup nor any paint, so it exists nowhere else. Nothing was written.")
        .arg(QDir::toNativeSeparators(mainTexturePath));
}

PaintResult keepMainTextureContent(const PaintTable &table)
{
    const QString installed = GameFiles::findGameFile(table.mainTexturePath());
    if (!AircraftFileCheck::entryExists(installed))
        return PaintResult::success(installed); // nothing there to lose
    const bool hadBackup = AircraftFileCheck::entryExists(GameFiles::findGameFile(table.backupPath()));
    if (const PaintResult backedUp = ensureBackup(table); !backedUp)
        return backedUp;
    if (!hadBackup)
        return PaintResult::success(installed); // the backup made just now holds it
    // A main texture that may not be written is never looked into.
    if (const FileVerdict verdict = AircraftFileCheck::mayWrite(table.folder(), installed); !verdict)
        return verdict.result;

    QStringList elsewhere;
    for (int row = PaintTable::DefaultRow; row < table.rowCount(); ++row)
        elsewhere << table.texturePath(row);
    InstalledPaint content;
    if (content.find(table.folder(), installed, elsewhere, InstalledPaint::Verdicts::ReadAgain))
        return PaintResult::success(installed);
    PaintResult changed = PaintResult::failure(installed, changedOutsideMessage(installed));
    changed.changedOutside = true;
    return changed;
}

namespace {

// Why the game could not load the paint's file, or an empty text.
QString problemWithPaintContent(const QString &path)
{
    QFile file(path);
    if (const PaintResult opened = RegularFileOpen::openForReading(file); !opened)
        return QStringLiteral("%1 %2").arg(QDir::toNativeSeparators(path), opened.reason);
    const QByteArray head = file.read(148);
    const QString kind = TextureFormat::kindOfContent(head);
    if (!head.startsWith("DDS ")) {
        return QStringLiteral("The paint's file\n%1\nis %2, not a DDS texture, so the game could not load it.\n\n"
                              "Nothing was applied.")
            .arg(QDir::toNativeSeparators(path), kind);
    }
    if (const QString problem = TextureFormat::problemWithHeader(head); !problem.isEmpty()) {
        return QStringLiteral("The paint's file\n%1\ncannot be loaded by the game: %2\n\nNothing was applied.")
            .arg(QDir::toNativeSeparators(path), problem);
    }
    return QString();
}

// A note when the paint's size or format differs from the original's: the
// game loads it, but it may sit wrongly on the model.
QString shapeNote(const PaintTable &table, const QString &paint)
{
    QString original = GameFiles::findGameFile(table.backupPath());
    if (!QFileInfo(original).isFile())
        original = GameFiles::findGameFile(table.mainTexturePath());
    const FileVerdict originalFile = AircraftFileCheck::mayRead(table.folder(), original);
    if (!originalFile)
        return QString();
    const std::optional<TextureFile::DdsShape> originalShape = TextureFile::readDdsShape(originalFile.realPath);
    const std::optional<TextureFile::DdsShape> paintShape = TextureFile::readDdsShape(paint);
    if (!originalShape || !paintShape || *originalShape == *paintShape)
        return QString();
    return QStringLiteral("The paint is %1, the original %2: the game loads it, but it may look wrong on the aircraft.")
        .arg(paintShape->describe(), originalShape->describe());
}

} // namespace

PaintResult applyPaint(const PaintTable &table, int row, QStringList *syncLater)
{
    const QString target = table.mainTexturePath();
    const auto refuse = [&](const QString &why) { return PaintResult::failure(target, why); };
    if (!table.namesMainTexture())
        return PaintResult::failure(table.folder(), noMainTextureMessage());
    const QString source = table.texturePath(row);
    if (source.isEmpty() || target.isEmpty())
        return refuse(outsideFolderMessage());
    if (const QString problem = mainTextureProblem(table); !problem.isEmpty())
        return refuse(problem);
    PaintResult applied = PaintResult::success(target);

    // The backup is the original whatever it holds; a paint has to be a
    // texture the game can load.
    if (row >= PaintTable::FirstPaintRow) {
        const FileVerdict paint = AircraftFileCheck::mayRead(table.folder(), source);
        if (!paint) {
            return PaintResult::failure(
                source, QStringLiteral("The paint could not be applied:\n%1\n\nThe installed texture was left as it was.")
                            .arg(paint.result.reason));
        }
        if (const QString problem = problemWithPaintContent(paint.realPath); !problem.isEmpty())
            return PaintResult::failure(source, problem);
        applied.note = shapeNote(table, paint.realPath);
    }

    // Nothing Corvane overwrites may be the only copy of its content.
    if (PaintResult kept = keepMainTextureContent(table); !kept) {
        if (!kept.changedOutside)
            kept.reason += QStringLiteral("\n\nNothing was applied.");
        return kept;
    }

    if (const PaintResult copied = GameFiles::copyReplacing(table.folder(), source, target, !syncLater); !copied) {
        return PaintResult::failure(copied.file, QStringLiteral("The paint could not be applied from\n%1\nto\n%2\n%3\n\n"
                                                                "The installed texture was left as it was.")
                                                     .arg(QDir::toNativeSeparators(GameFiles::findGameFile(source)),
                                                          QDir::toNativeSeparators(GameFiles::findGameFile(target)),
                                                          copied.reason));
    }
    if (syncLater)
        *syncLater << GameFiles::findGameFile(target);
    return applied;
}

PaintResult ensureBackup(const PaintTable &table)
{
    if (table.mainTexturePath().isEmpty())
        return PaintResult::success();
    const QString backup = GameFiles::findGameFile(table.backupPath());
    if (const QString problem = mainTextureProblem(table); !problem.isEmpty())
        return PaintResult::failure(table.mainTexturePath(), problem);
    if (AircraftFileCheck::entryExists(backup)) {
        const QString problem = backupProblem(table, backup);
        return problem.isEmpty() ? PaintResult::success(backup) : PaintResult::failure(backup, problem);
    }
    const QString installed = GameFiles::findGameFile(table.mainTexturePath());
    if (!AircraftFileCheck::entryExists(installed))
        return PaintResult::success(); // nothing to back up: the apply creates the main texture
    if (const PaintResult copied = GameFiles::copyIfAbsent(table.folder(), installed, table.backupPath()); !copied) {
        return PaintResult::failure(table.backupPath(), QStringLiteral("The backup of the original texture could not be made:\n%1\n%2")
                                                            .arg(QDir::toNativeSeparators(table.backupPath()), copied.reason));
    }
    return PaintResult::success(table.backupPath());
}
