#include "TextureHash.h"

#include "AircraftFileCheck.h"
#include "RegularFileOpen.h"

#include <QCryptographicHash>
#include <QFile>

namespace TextureHash {

QString sha256(const QString &aircraftFolder, const QString &path, QString *reason)
{
    const FileVerdict verdict = AircraftFileCheck::mayRead(aircraftFolder, path);
    if (!verdict) {
        if (reason)
            *reason = verdict.message();
        return QString();
    }
    QFile file(verdict.realPath);
    if (!RegularFileOpen::openForReading(file, reason))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file) || file.error() != QFileDevice::NoError) {
        if (reason)
            *reason = file.errorString();
        return QString();
    }
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace TextureHash
