#include "IniSettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {
QString key(const QString &section, const QString &name)
{
    return section + QLatin1Char('/') + name;
}

// QSettings says only that it could not write. Trying the same steps by
// hand (open the file, write as much beside it, flush) brings out the
// system's reason: "Permission denied", "No space left on device".
QString whyNotWritable(const QString &filePath, qint64 bytesToWrite)
{
    const QFileInfo info(filePath);
    if (info.exists() && !info.isFile())
        return QStringLiteral("it is not a regular file");
    if (info.exists()) {
        QFile file(filePath);
        if (!file.open(QIODevice::ReadWrite)) // opened without truncating
            return file.errorString();
    }
    QTemporaryFile probe(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                         + QStringLiteral(".XXXXXX"));
    if (!probe.open())
        return probe.errorString();
    const QByteArray block(4096, ' ');
    for (qint64 written = 0; written < bytesToWrite; written += block.size()) {
        if (probe.write(block) != block.size() || !probe.flush())
            return probe.errorString();
    }
    return QStringLiteral("the reason is unknown");
}
} // namespace

IniSettingsStore::IniSettingsStore(const QString &filePath)
    : m_settings(filePath, QSettings::IniFormat)
{
}

PaintResult IniSettingsStore::readText(const QString &section, const QString &name, QString &text)
{
    // Another Corvane may have written since: read what the file holds now.
    m_settings.sync();
    const QString k = key(section, name);
    if (!m_settings.contains(k))
        return PaintResult::success(filePath());
    // QSettings turns "a, b" into a list and "@Variant(...)" into other types:
    // none of them is the plain text a value must be.
    const QVariant value = m_settings.value(k);
    if (value.typeId() != QMetaType::QString)
        // The value's name is what the player looks for; the text stays as
        // the registry's on Windows words it.
        return PaintResult::failure(QString(), QStringLiteral("Invalid data type for '%1'").arg(name));
    text = value.toString();
    return PaintResult::success(filePath());
}

qint64 IniSettingsStore::bytesToWrite() const
{
    qint64 bytes = 0;
    for (const QString &k : m_settings.allKeys())
        bytes += k.size() + m_settings.value(k).toString().toUtf8().size() + 8;
    return bytes;
}

PaintResult IniSettingsStore::writeText(const QString &section, const QString &name, const QString &text)
{
    m_settings.setValue(key(section, name), text);
    const qint64 needed = bytesToWrite(); // a failed sync may forget the values
    m_settings.sync();
    // Qt 6.4 reports a write as done when only its final flush failed (a
    // full disk), so what reached the file is read back.
    if (m_settings.status() != QSettings::NoError
        || QSettings(filePath(), QSettings::IniFormat).value(key(section, name)) != text) {
        return PaintResult::failure(filePath(), QStringLiteral("Failed to set data for '%1'\n\nThe settings file\n%2\n"
                                           "could not be written: %3")
                                .arg(name, QDir::toNativeSeparators(filePath()),
                                     whyNotWritable(filePath(), needed)));
    }
    return PaintResult::success(filePath());
}
