#include "DiskSync.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace DiskSync {

bool syncFile(QFileDevice &file, QString *reason)
{
    if (::fsync(file.handle()) == 0)
        return true;
    if (reason)
        *reason = qt_error_string(errno);
    return false;
}

bool syncFolder(const QString &folder, QString *reason)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (reason)
            *reason = qt_error_string(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace DiskSync
