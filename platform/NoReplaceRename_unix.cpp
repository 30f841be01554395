#include "NoReplaceRename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace NoReplaceRename {

namespace {
bool fail(QString *reason, int error)
{
    if (reason)
        *reason = qt_error_string(error);
    return false;
}
} // namespace

static bool renameWithReason(const QString &from, const QString &to, QString *reason)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return fail(reason, errno);
#endif
    // A hard link refuses an existing name as atomically.
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return true;
    }
    if (errno == EEXIST)
        return fail(reason, errno);
    // Last, for file systems with neither (some shared or Windows-formatted
    // drives): look, then rename.
    struct stat info;
    if (::lstat(target.constData(), &info) == 0)
        return fail(reason, EEXIST);
    if (::rename(source.constData(), target.constData()) != 0)
        return fail(reason, errno);
    return true;
}

PaintResult rename(const QString &from, const QString &to)
{
    QString reason;
    if (!renameWithReason(from, to, &reason))
        return PaintResult::failure(to, reason);
    return PaintResult::success(to);
}

} // namespace NoReplaceRename
