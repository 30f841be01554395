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

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

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

bool writeNewTexture(const QString &folder, const QString &fileName, const QByteArray &data, QString *error)
{
    const QString target = folder + fileName;
    if (placementOf(folder, fileName, data) != Placement::Free) {
        setError(error, QStringLiteral("%1 already exists").arg(target));
        return false;
    }
    const FileVerdict verdict = AircraftFileCheck::mayWrite(folder, target);
    if (!verdict) {
        setError(error, verdict.message());
        return false;
    }
    SafeSave::Options options;
    options.replaceExisting = false; // one that appeared meanwhile wins
    return SafeSave::writeFile(verdict.realPath, data, options, error);
}

QString placeTexture(const QString &folder, const QString &fileName, const QByteArray &data, QString *error)
{
    const QString name = proposeFileName(folder, fileName, data);
    if (name.isEmpty()) {
        setError(error, QStringLiteral("%1 and %2 numbered names beside it are all taken")
                            .arg(fileName).arg(MostNumberedNames - 1));
        return QString();
    }
    if (placementOf(folder, name, data) == Placement::SameContent)
        return name;
    return writeNewTexture(folder, name, data, error) ? name : QString();
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

std::optional<FolderPlacement::Choice> FolderPlacement::choose(const QString &fileName, qint64 size,
                                                               const QByteArray &digest, QString *error)
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
            return Choice{name, false, shortened};
        }
        if (holds(*existing, size, digest))
            return Choice{*existing, true, shortened};
    }
    setError(error, QStringLiteral("%1 and %2 numbered names beside it are all taken")
                        .arg(fileName).arg(MostNumberedNames - 1));
    return std::nullopt;
}

} // namespace TextureInstaller
