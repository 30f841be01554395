#include "TextureInstaller.h"

#include "AircraftFileCheck.h"
#include "GameFiles.h"
#include "PaintArchive.h"
#include "PaintNaming.h"
#include "SafeSave.h"

#include <QFile>
#include <QFileInfo>

namespace TextureInstaller {

namespace {

constexpr int MostNumberedNames = 100;

bool holdsExactly(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != data.size())
        return false;
    return file.readAll() == data;
}

} // namespace

Placement placementOf(const QString &folder, const QString &fileName, const QByteArray &data,
                      QString *existingName)
{
    const QString path = GameFiles::findGameFile(folder + fileName);
    if (!AircraftFileCheck::entryExists(path))
        return Placement::Free;
    const QFileInfo info(path);
    if (existingName)
        *existingName = info.fileName();
    // A link is never taken for the texture, even one that leads to it: the
    // list would then name a file whose contents can change under it.
    const FileVerdict verdict = AircraftFileCheck::mayRead(folder, path);
    return verdict && !info.isSymLink() && holdsExactly(verdict.realPath, data) ? Placement::SameContent
                                                                               : Placement::Clash;
}

QString proposeFileName(const QString &folder, const QString &fileName, const QByteArray &data)
{
    for (int number = 1; number <= MostNumberedNames; ++number) {
        const QString name = number == 1 ? fileName : PaintNaming::numberedFileName(fileName, number);
        QString existing;
        switch (placementOf(folder, name, data, &existing)) {
        case Placement::Free:
            return name;
        case Placement::SameContent:
            return existing;
        case Placement::Clash:
            break;
        }
    }
    return QString();
}

PaintResult writeNewTexture(const QString &folder, const QString &fileName, const QByteArray &data)
{
    const QString target = folder + fileName;
    if (placementOf(folder, fileName, data) != Placement::Free)
        return PaintResult::failure(target, QStringLiteral("%1 already exists").arg(target));
    const FileVerdict verdict = AircraftFileCheck::mayWrite(folder, target);
    if (!verdict)
        return verdict.result;
    SafeSave::Options options;
    options.replaceExisting = false; // one that appeared meanwhile wins
    const PaintResult written = SafeSave::writeFile(verdict.realPath, data, options);
    return written ? PaintResult::success(target) : PaintResult::failure(target, written.reason);
}

PaintResult placeTexture(const QString &folder, const QString &fileName, const QByteArray &data, QString &placedName)
{
    const QString name = proposeFileName(folder, fileName, data);
    if (name.isEmpty()) {
        return PaintResult::failure(folder + fileName, QStringLiteral("%1 and %2 numbered names beside it are all taken")
                                                           .arg(fileName).arg(MostNumberedNames - 1));
    }
    if (placementOf(folder, name, data) != Placement::SameContent) {
        if (const PaintResult written = writeNewTexture(folder, name, data); !written)
            return written;
    }
    placedName = name;
    return PaintResult::success(folder + name);
}

FolderPlacement::FolderPlacement(const QString &folder)
    : m_folder(folder), m_check(folder), m_names(folder)
{
}

void FolderPlacement::reserve(const QString &name)
{
    m_reserved.insert(name.toCaseFolded());
}

bool FolderPlacement::isReserved(const QString &name) const
{
    return m_reserved.contains(name.toCaseFolded());
}

bool FolderPlacement::holds(const QString &name, qint64 size, const QByteArray &digest) const
{
    const auto chosen = m_chosen.constFind(name.toCaseFolded());
    if (chosen != m_chosen.cend())
        return *chosen == digest;
    // As placementOf: a link is never taken for the texture.
    const QString path = m_folder + name;
    const FileVerdict verdict = m_check.mayRead(path);
    if (!verdict || QFileInfo(path).isSymLink() || QFileInfo(verdict.realPath).size() != size)
        return false;
    return PaintArchive::digestOfFile(verdict.realPath) == digest;
}

PaintResult FolderPlacement::choose(const QString &fileName, qint64 size, const QByteArray &digest, Choice &choice)
{
    for (int number = 1; number <= MostNumberedNames; ++number) {
        bool shortened = false;
        const QString name = PaintNaming::fittedFileName(fileName, number, &shortened);
        if (isReserved(name))
            continue;
        const std::optional<QString> existing = m_names.find(name);
        if (!existing) {
            m_names.add(name);
            m_chosen.insert(name.toCaseFolded(), digest);
            choice = Choice{name, false, shortened};
            return PaintResult::success(m_folder + name);
        }
        if (holds(*existing, size, digest)) {
            choice = Choice{*existing, true, shortened};
            return PaintResult::success(m_folder + *existing);
        }
    }
    return PaintResult::failure(m_folder + fileName, QStringLiteral("%1 and %2 numbered names beside it are all taken")
                                                         .arg(fileName).arg(MostNumberedNames - 1));
}

} // namespace TextureInstaller
