#include "TextureInstaller.h"

#include "AircraftFileCheck.h"
#include "GameFiles.h"
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

} // namespace TextureInstaller
