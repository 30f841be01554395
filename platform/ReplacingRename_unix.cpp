#include "ReplacingRename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>

namespace ReplacingRename {

PaintResult rename(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return PaintResult::failure(to, qt_error_string(errno));
    return PaintResult::success(to);
}

} // namespace ReplacingRename
