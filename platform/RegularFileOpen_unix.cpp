#include "RegularFileOpen.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFileOpen {

namespace {
bool fail(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}
} // namespace

bool openForReading(QFile &file, QString *reason)
{
    const QByteArray path = QFile::encodeName(file.fileName());
    // O_NONBLOCK makes the open of a pipe return at once; it is cleared again
    // before any read, so a regular file reads as usual.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail(reason, qt_error_string(errno));
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(reason, qt_error_string(error));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail(reason, QStringLiteral("is not a regular file"));
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        const int error = errno;
        ::close(fd);
        return fail(reason, qt_error_string(error));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(reason, file.errorString());
    }
    return true;
}

} // namespace RegularFileOpen
