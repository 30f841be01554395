#pragma once

#include "PaintResult.h"

#include <QString>

// Reads values from the registry of a Wine prefix, where the game keeps its
// entry when it runs under Wine, and turns the Windows paths found there
// into native ones.
class WineRegistry
{
public:
    explicit WineRegistry(const QString &prefixFolder);

    // No real hive comes near this; a bigger file is skipped unread.
    static constexpr qint64 MaxHiveBytes = 64ll << 20;

    // A text value of the machine hive (system.reg) into text, left as it was
    // when the file, the key or the value is missing. Key and value names
    // compare without regard to letter case, as Windows does. The file is
    // read a line at a time, never whole; when it is skipped (too big, not a
    // regular file), the result says why.
    PaintResult machineText(const QString &keyPath, const QString &valueName, QString &text) const;

    // "C:\Games\CFS3\" through the prefix's drive links to a native path;
    // an empty string when the drive is unknown to the prefix.
    QString toNativePath(const QString &windowsPath) const;

private:
    QString m_prefix;
};

// The text between the quotes of a value line, with Wine's escapes undone.
QString unescapeWineString(QStringView quoted);
