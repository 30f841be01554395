#include "FileContentCopy.h"

#include <QByteArray>

#include <cerrno>
#include <unistd.h>

namespace FileContentCopy {

namespace {

constexpr size_t KernelStep = 64 << 20;
constexpr size_t BufferSize = 1 << 20;

qint64 fail(QString *reason, int error)
{
    if (reason)
        *reason = qt_error_string(error);
    return -1;
}

// Through a buffer of ours: for systems and file pairs the kernel will not
// copy between.
qint64 copyByReading(int from, int to, qint64 copied, QString *reason)
{
    QByteArray buffer(BufferSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), BufferSize);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(reason, errno);
        if (got == 0)
            return copied;
        for (ssize_t put = 0; put < got;) {
            const ssize_t written = ::write(to, buffer.constData() + put, size_t(got - put));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return fail(reason, written < 0 ? errno : ENOSPC);
            put += written;
        }
        copied += got;
    }
}

} // namespace

qint64 copy(QFileDevice &from, QFileDevice &to, QString *reason)
{
    const int in = from.handle();
    const int out = to.handle();
    if (in < 0 || out < 0)
        return fail(reason, EBADF);
    qint64 copied = 0;
#ifdef __linux__
    for (;;) {
        const ssize_t step = ::copy_file_range(in, nullptr, out, nullptr, KernelStep, 0);
        if (step > 0) {
            copied += step;
            continue;
        }
        if (step == 0)
            return copied;
        if (errno == EINTR)
            continue;
        // Older kernels, other file systems on either side, special files:
        // what is not copied yet goes through a buffer.
        if (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP || errno == EPERM
            || errno == ETXTBSY || errno == EBADF)
            break;
        return fail(reason, errno);
    }
#endif
    return copyByReading(in, out, copied, reason);
}

} // namespace FileContentCopy
