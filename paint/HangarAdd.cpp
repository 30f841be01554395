#include "Hangar.h"

#include "GameText.h"
#include "PaintArchive.h"
#include "PaintRules.h"
#include "PickedTexture.h"
#include "TextureInstaller.h"

#include <QFile>
#include <QDir>
#include <QStringList>

namespace {

const QString nothingAdded = QStringLiteral("\n\nNothing was added.");

PaintResult refused(const QString &file, const QString &reason)
{
    return PaintResult::failure(file, reason + nothingAdded);
}

} // namespace

PaintResult Hangar::checkPaintName(const QByteArray &name)
{
    if (const QString problem = PaintRules::problemWithName(name); !problem.isEmpty())
        return refused(QString(), problem);
    return PaintResult::success();
}

bool Hangar::isReservedName(const QString &fileName) const
{
    if (m_selected < 0)
        return false;
    const QStringList names = PaintRules::originalTextureNames(m_aircraft.at(m_selected).paintListPath,
                                                               m_table.mainTextureName());
    return names.contains(fileName, Qt::CaseInsensitive);
}

PaintResult Hangar::addPaint(const QByteArray &name, const QString &pickedFile, const std::optional<QString> &copyName)
{
    if (!hasSelection() || !m_table.isLoaded())
        return PaintResult::failure(QString(), QStringLiteral("No aircraft is selected."));
    // Every check before anything is written: a refusal leaves the folder
    // as it was.
    if (const PaintResult named = checkPaintName(name); !named)
        return named;
    const QString folder = m_table.folder();
    const PickedTexture picked = examinePickedTexture(folder, pickedFile);
    if (picked.kind == PickedTexture::Refused)
        return refused(pickedFile, picked.result.reason);
    const QString fileName = picked.kind == PickedTexture::Elsewhere && copyName ? *copyName : picked.fileName;
    // A typed name must stay one file of the aircraft's folder.
    if (fileName.isEmpty() || fileName.contains(u'/') || fileName.contains(u'\\')
        || !PaintArchive::problemWithEntryPath(fileName).isEmpty()) {
        return refused(pickedFile, QStringLiteral("A file name cannot be empty, name a folder or hold characters "
                                                  "Windows does not allow."));
    }
    if (const QString problem = PaintRules::problemWithFileName(GameText::encode(fileName)); !problem.isEmpty())
        return refused(pickedFile, problem);

    QString inFolder = fileName;
    bool copied = false;
    if (picked.kind == PickedTexture::Elsewhere) {
        // Copied in under the main texture's name, a download would become
        // the original the backup is made from (when that one is missing),
        // or the backup itself.
        if (isReservedName(fileName)) {
            PaintResult taken = PaintResult::failure(folder + fileName,
                                        QStringLiteral("%1 is named like the aircraft's main texture or its backup; "
                                                       "copied in, it would take the original's place.")
                                            .arg(fileName));
            taken.nameTaken = true;
            const qsizetype dot = fileName.lastIndexOf(u'.');
            const QString numbered = dot < 0 ? fileName + QStringLiteral(" (2)")
                                             : fileName.left(dot) + QStringLiteral(" (2)") + fileName.mid(dot);
            taken.freeName = TextureInstaller::proposeFileName(folder, numbered, picked.data);
            return taken;
        }
        QString existing;
        switch (TextureInstaller::placementOf(folder, fileName, picked.data, &existing)) {
        case TextureInstaller::Placement::SameContent:
            inFolder = existing;
            break;
        case TextureInstaller::Placement::Clash: {
            PaintResult taken = PaintResult::failure(folder + existing,
                                        QStringLiteral("A different file named %1 is already in the aircraft's folder.")
                                            .arg(existing));
            taken.nameTaken = true;
            taken.freeName = TextureInstaller::proposeFileName(folder, fileName, picked.data);
            return taken;
        }
        case TextureInstaller::Placement::Free: {
            if (const PaintResult written = TextureInstaller::writeNewTexture(folder, fileName, picked.data); !written)
                return refused(folder + fileName,
                               QStringLiteral("The texture could not be copied into the aircraft's folder: %1")
                                   .arg(written.reason));
            copied = true;
            break;
        }
        }
    }

    PaintResult saved = add(name, folder + inFolder);
    if (!saved) {
        // The copy was made for this paint alone; without its row it would
        // only clutter the folder.
        if (copied)
            QFile::remove(folder + inFolder);
        saved.reason += nothingAdded;
        return saved;
    }
    saved.file = QDir::toNativeSeparators(folder + inFolder);
    // An aircraft that had no paint gets its backup with its first one.
    if (const PaintResult kept = keepOriginal(); !kept)
        saved.note = QStringLiteral("The paint was added, but the original texture could not be kept:\n") + kept.message();
    return saved;
}
