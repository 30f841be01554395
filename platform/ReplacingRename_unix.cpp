#include "ReplacingRename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>

namespace ReplacingRename {

static bool renameWithReason(const QString &from, const QString &to, QString *reason)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (reason)
        *reason = qt_error_string(errno);
    return false;
}

PaintResult rename(const QString &from, const QString &to)
{
    QString reason;
    if (!renameWithReason(from, to, &reason))
        return PaintResult::failure(to, reason);
    return PaintResult::success(to);
}

} // namespace ReplacingRename
