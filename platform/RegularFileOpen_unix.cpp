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

namespace {

// A descriptor of the regular file at the path, still non-blocking, or -1.
int openRegular(const QString &fileName, QString *reason, qint64 *size = nullptr)
{
    const QByteArray path = QFile::encodeName(fileName);
    // O_NONBLOCK makes the open of a pipe return at once.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        fail(reason, qt_error_string(errno));
        return -1;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        fail(reason, qt_error_string(error));
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        fail(reason, QStringLiteral("is not a regular file"));
        return -1;
    }
    if (size)
        *size = qint64(info.st_size);
    return fd;
}

} // namespace

static bool openWithReason(QFile &file, QString *reason)
{
    const int fd = openRegular(file.fileName(), reason);
    if (fd < 0)
        return false;
    // Blocking again before any read, so a regular file reads as usual.
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

static bool canReadWithReason(const QString &path, QString *reason)
{
    const int fd = openRegular(path, reason);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

static bool readAllWithReason(const QString &path, qint64 limit, QByteArray &bytes, QString *reason, bool *tooLarge)
{
    bytes.clear();
    if (tooLarge)
        *tooLarge = false;
    qint64 size = 0;
    const int fd = openRegular(path, reason, &size);
    if (fd < 0)
        return false;
    const auto refuse = [&](bool large, const QString &text) {
        ::close(fd);
        bytes.clear();
        if (tooLarge)
            *tooLarge = large;
        return fail(reason, text);
    };
    if (size > limit)
        return refuse(true, QString());
    // Non-blocking does not change how a regular file reads. The size just
    // measured is read in one call; a file that reports none (or changes
    // meanwhile) is read until its end, one byte past the limit at most.
    bytes.resize(size > 0 ? size : qMin<qint64>(limit + 1, 4096));
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (size > 0 && got == size)
                break;
            if (got > limit)
                return refuse(true, QString());
            bytes.resize(qMin<qint64>(limit + 1, qMax<qint64>(4096, got * 2)));
        }
        const ssize_t read = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (read < 0) {
            if (errno == EINTR)
                continue;
            return refuse(false, qt_error_string(errno));
        }
        if (read == 0)
            break;
        got += read;
    }
    ::close(fd);
    bytes.truncate(got);
    return true;
}

PaintResult openForReading(QFile &file)
{
    // Opened from a handle, the file forgets its name.
    const QString path = file.fileName();
    QString reason;
    if (!openWithReason(file, &reason))
        return PaintResult::failure(path, reason);
    return PaintResult::success(path);
}

PaintResult canRead(const QString &path)
{
    QString reason;
    if (!canReadWithReason(path, &reason))
        return PaintResult::failure(path, reason);
    return PaintResult::success(path);
}

PaintResult readAll(const QString &path, qint64 limit, QByteArray &bytes, bool *tooLarge)
{
    QString reason;
    if (!readAllWithReason(path, limit, bytes, &reason, tooLarge))
        return PaintResult::failure(path, reason);
    return PaintResult::success(path);
}

} // namespace RegularFileOpen
