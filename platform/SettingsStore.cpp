#include "SettingsStore.h"

int parseStoredInteger(const QString &text, int fallback)
{
    bool ok = false;
    int value = 0;
    if (text.size() > 2 && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))))
        value = static_cast<int>(text.mid(2).toUInt(&ok, 16));
    else
        value = text.toInt(&ok, 10);
    return ok ? value : fallback;
}

int SettingsStore::readInteger(const QString &section, const QString &name, int fallback)
{
    const QString text = readText(section, name, QString());
    if (text.isNull())
        return fallback;
    return parseStoredInteger(text, fallback);
}

void SettingsStore::writeInteger(const QString &section, const QString &name, int value)
{
    writeText(section, name, QString::number(value));
}
