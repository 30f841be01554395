#include "TextureHash.h"

#include "AircraftFileCheck.h"
#include "RegularFileOpen.h"

#include <QCryptographicHash>
#include <QFile>

namespace TextureHash {

PaintResult sha256(const QString &aircraftFolder, const QString &path, QString &hash)
{
    const FileVerdict verdict = AircraftFileCheck::mayRead(aircraftFolder, path);
    if (!verdict)
        return verdict.result;
    QFile file(verdict.realPath);
    if (const PaintResult opened = RegularFileOpen::openForReading(file); !opened)
        return PaintResult::failure(path, opened.reason);
    QCryptographicHash digest(QCryptographicHash::Sha256);
    if (!digest.addData(&file) || file.error() != QFileDevice::NoError)
        return PaintResult::failure(path, file.errorString());
    hash = QString::fromLatin1(digest.result().toHex());
    return PaintResult::success(path);
}

} // namespace TextureHash
