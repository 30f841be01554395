#include "FileContentCopy.h"

#include <QByteArray>

#include <cerrno>
#include <unistd.h>

namespace FileContentCopy {

namespace {

constexpr size_t KernelStep = 64 << 20;
constexpr size_t BufferSize = 1 << 20;

PaintResult failed(const QFileDevice &file, int error)
{
    return PaintResult::failure(file.fileName(), qt_error_string(error));
}

// Through a buffer of ours: for systems and file pairs the kernel will not
// copy between.
PaintResult copyByReading(QFileDevice &from, QFileDevice &to, qint64 *copied)
{
    QByteArray buffer(BufferSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(from.handle(), buffer.data(), BufferSize);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failed(from, errno);
        if (got == 0)
            return PaintResult::success(to.fileName());
        for (ssize_t put = 0; put < got;) {
            const ssize_t written = ::write(to.handle(), buffer.constData() + put, size_t(got - put));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return failed(to, written < 0 ? errno : ENOSPC);
            put += written;
        }
        *copied += got;
    }
}

} // namespace

PaintResult copy(QFileDevice &from, QFileDevice &to, qint64 *copied)
{
    *copied = 0;
    if (from.handle() < 0)
        return failed(from, EBADF);
    if (to.handle() < 0)
        return failed(to, EBADF);
#ifdef __linux__
    for (;;) {
        const ssize_t step = ::copy_file_range(from.handle(), nullptr, to.handle(), nullptr, KernelStep, 0);
        if (step > 0) {
            *copied += step;
            continue;
        }
        if (step == 0)
            return PaintResult::success(to.fileName());
        if (errno == EINTR)
            continue;
        // Older kernels, other file systems on either side, special files:
        // what is not copied yet goes through a buffer.
        if (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP || errno == EPERM
            || errno == ETXTBSY || errno == EBADF)
            break;
        // The kernel does not say which side refused; a full disk or a size
        // limit is the target's, anything else is taken as the source's.
        return failed(errno == ENOSPC || errno == EFBIG || errno == EDQUOT ? to : from, errno);
    }
#endif
    return copyByReading(from, to, copied);
}

} // namespace FileContentCopy
