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

PaintResult SettingsStore::readInteger(const QString &section, const QString &name, int &value)
{
    QString text;
    const PaintResult read = readText(section, name, text);
    if (read && !text.isNull())
        value = parseStoredInteger(text, value);
    return read;
}

PaintResult SettingsStore::writeInteger(const QString &section, const QString &name, int value)
{
    return writeText(section, name, QString::number(value));
}
