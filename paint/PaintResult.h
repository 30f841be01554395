#pragma once

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

// What became of one operation on a player's files: whether it worked, the
// file it concerned (native path) and, when it failed, why, in words the
// player can act on.
struct PaintResult
{
    bool ok = true;
    QString file;
    QString reason;
    // Failed only because the main texture holds content found nowhere
    // else; the same step with the player's word to keep it would go ahead.
    bool changedOutside = false;
    // Done, with something the player should know (a paint whose size
    // differs from the original's).
    QString note;
    // Failed only because a different file of that name is in the aircraft's
    // folder; the same step under another name would go ahead. freeName is
    // one the file could take, or empty when none is near.
    bool nameTaken = false;
    QString freeName;

    static PaintResult success(const QString &file = QString())
    {
        return {true, QDir::toNativeSeparators(file), {}, false, {}, false, {}};
    }
    static PaintResult failure(const QString &file, const QString &reason)
    {
        return {false, QDir::toNativeSeparators(file), reason, false, {}, false, {}};
    }

    explicit operator bool() const { return ok; }

    // For a message box: the reason, and the file on a line of its own
    // unless the reason names it already.
    QString message() const
    {
        if (file.isEmpty() || reason.contains(file))
            return reason;
        return reason + QStringLiteral("\n") + file;
    }

    // One line: "file: reason" (or the reason alone when no file is
    // concerned or the reason names it already).
    QString line() const
    {
        return file.isEmpty() || reason.contains(file) ? reason : file + QStringLiteral(": ") + reason;
    }
};

// Several results, one line() each, for a message box or a log.
inline QString linesOf(const QList<PaintResult> &results)
{
    QStringList lines;
    for (const PaintResult &result : results)
        lines << result.line();
    return lines.join(u'\n');
}
