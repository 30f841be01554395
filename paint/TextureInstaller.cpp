#include "TextureInstaller.h"

#include "GameFiles.h"
#include "PaintNaming.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

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
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return Placement::Free;
    if (existingName)
        *existingName = info.fileName();
    return info.isFile() && !info.isSymLink() && holdsExactly(path, data) ? Placement::SameContent
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
    QTemporaryFile temporary(folder + QStringLiteral(".") + fileName + QStringLiteral(".XXXXXX"));
    if (!temporary.open()) {
        setError(error, temporary.errorString());
        return false;
    }
    if (temporary.write(data) != data.size() || !temporary.flush()) {
        setError(error, temporary.errorString());
        return false;
    }
    // QFile::rename never replaces a file, so one that appeared meanwhile wins.
    if (!temporary.rename(target)) {
        setError(error, temporary.errorString());
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
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
