#pragma once

#include <QString>

#include <stdexcept>

// Raised by a settings store for a value of the wrong type or a refused write;
// the text is the one shown to the player.
class SettingsError : public std::runtime_error
{
public:
    explicit SettingsError(const QString &message)
        : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// Per-user settings: sections of named text values. Integers are stored as
// their decimal text, so a player can read and edit them.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // A missing value, or a missing section, gives the fallback.
    virtual QString readText(const QString &section, const QString &name,
                             const QString &fallback) = 0;
    virtual void writeText(const QString &section, const QString &name,
                           const QString &text) = 0;

    int readInteger(const QString &section, const QString &name, int fallback);
    void writeInteger(const QString &section, const QString &name, int value);
};

// "0x"/"0X" followed by digits is hexadecimal, anything else decimal; text that
// is no number gives the fallback.
int parseStoredInteger(const QString &text, int fallback);
