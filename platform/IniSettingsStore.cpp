#include "IniSettingsStore.h"

namespace {
QString key(const QString &section, const QString &name)
{
    return section + QLatin1Char('/') + name;
}
} // namespace

IniSettingsStore::IniSettingsStore(const QString &filePath)
    : m_settings(filePath, QSettings::IniFormat)
{
}

QString IniSettingsStore::readText(const QString &section, const QString &name,
                                   const QString &fallback)
{
    const QString k = key(section, name);
    if (!m_settings.contains(k))
        return fallback;
    // QSettings turns "a, b" into a list and "@Variant(...)" into other types:
    // none of them is the plain text a value must be.
    const QVariant value = m_settings.value(k);
    if (value.typeId() != QMetaType::QString)
        throw SettingsError(QStringLiteral("Invalid data type for '%1'").arg(name));
    return value.toString();
}

void IniSettingsStore::writeText(const QString &section, const QString &name,
                                 const QString &text)
{
    m_settings.setValue(key(section, name), text);
    m_settings.sync();
    if (m_settings.status() != QSettings::NoError)
        throw SettingsError(QStringLiteral("Failed to set data for '%1'").arg(name));
}
