#include "RegularFileOpen.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFileOpen {

namespace {

// The regular file at a path, opened non-blocking, with its size; or no
// descriptor and why.
struct Opened
{
    int fd = -1;
    qint64 size = 0;
    PaintResult result;
};

Opened openRegular(const QString &fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    // O_NONBLOCK makes the open of a pipe return at once.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {-1, 0, PaintResult::failure(fileName, qt_error_string(errno))};
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return {-1, 0, PaintResult::failure(fileName, qt_error_string(error))};
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return {-1, 0, PaintResult::failure(fileName, QStringLiteral("is not a regular file"))};
    }
    return {fd, qint64(info.st_size), PaintResult::success(fileName)};
}

} // namespace

PaintResult openForReading(QFile &file)
{
    // Opened from a handle, the file forgets its name.
    const QString path = file.fileName();
    const Opened opened = openRegular(path);
    if (opened.fd < 0)
        return opened.result;
    // Blocking again before any read, so a regular file reads as usual.
    const int flags = ::fcntl(opened.fd, F_GETFL);
    if (flags == -1 || ::fcntl(opened.fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        const int error = errno;
        ::close(opened.fd);
        return PaintResult::failure(path, qt_error_string(error));
    }
    if (!file.open(opened.fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(opened.fd);
        return PaintResult::failure(path, file.errorString());
    }
    return opened.result;
}

PaintResult canRead(const QString &path)
{
    const Opened opened = openRegular(path);
    if (opened.fd >= 0)
        ::close(opened.fd);
    return opened.result;
}

PaintResult readAll(const QString &path, qint64 limit, QByteArray &bytes, bool *tooLarge)
{
    bytes.clear();
    if (tooLarge)
        *tooLarge = false;
    const Opened opened = openRegular(path);
    if (opened.fd < 0)
        return opened.result;
    const int fd = opened.fd;
    const qint64 size = opened.size;
    const auto refuse = [&](bool large, const QString &text) {
        ::close(fd);
        bytes.clear();
        if (tooLarge)
            *tooLarge = large;
        return PaintResult::failure(path, text);
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
    return opened.result;
}

} // namespace RegularFileOpen
