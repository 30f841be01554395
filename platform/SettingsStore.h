#pragma once

#include "PaintResult.h"

#include <QString>

// Per-user settings: sections of named text values. Integers are stored as
// their decimal text, so a player can read and edit them. A value of the
// wrong type or a refused write fails with the text shown to the player;
// the caller carries on with its default.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // A missing value, or a missing section, leaves text as it was: the
    // caller's default.
    virtual PaintResult readText(const QString &section, const QString &name, QString &text) = 0;
    virtual PaintResult writeText(const QString &section, const QString &name, const QString &text) = 0;

    // Text that is no number leaves value as it was, like a missing one.
    PaintResult readInteger(const QString &section, const QString &name, int &value);
    PaintResult writeInteger(const QString &section, const QString &name, int value);
};

// "0x"/"0X" followed by digits is hexadecimal, anything else decimal; text that
// is no number gives the fallback.
int parseStoredInteger(const QString &text, int fallback);
