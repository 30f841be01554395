#include "NoReplaceRename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace NoReplaceRename {

PaintResult rename(const QString &from, const QString &to)
{
    const auto fail = [&](int error) { return PaintResult::failure(to, qt_error_string(error)); };
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return PaintResult::success(to);
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return fail(errno);
#endif
    // A hard link refuses an existing name as atomically.
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return PaintResult::success(to);
    }
    if (errno == EEXIST)
        return fail(errno);
    // Last, for file systems with neither (some shared or Windows-formatted
    // drives): look, then rename.
    struct stat info;
    if (::lstat(target.constData(), &info) == 0)
        return fail(EEXIST);
    if (::rename(source.constData(), target.constData()) != 0)
        return fail(errno);
    return PaintResult::success(to);
}

} // namespace NoReplaceRename
