#include "TemporaryBitmap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

QString TemporaryBitmap::temporaryFolder()
{
    for (const char *variable : {"TEMP", "TMP"}) {
        const QString folder = qEnvironmentVariable(variable);
        if (!folder.isEmpty())
            return folder;
    }
    return QDir::tempPath();
}

TemporaryBitmap::TemporaryBitmap(const QString &baseName)
{
    const QString base = baseName.isEmpty() ? QStringLiteral("picture") : baseName;
    QTemporaryFile file(QDir(temporaryFolder()).filePath(base + QStringLiteral("-XXXXXX.bmp")));
    file.setAutoRemove(false);
    if (file.open()) {
        m_path = file.fileName();
        file.close();
    }
}

TemporaryBitmap::~TemporaryBitmap()
{
    remove();
}

void TemporaryBitmap::remove()
{
    if (!m_path.isEmpty())
        QFile::remove(m_path);
    m_path.clear();
}
