#include "FileContentCopy.h"

#include <QByteArray>

#include <io.h>
#include <windows.h>

namespace FileContentCopy {

namespace {

constexpr DWORD BufferSize = 1 << 20;

qint64 fail(QString *reason, DWORD error)
{
    if (reason)
        *reason = qt_error_string(int(error));
    return -1;
}

} // namespace

// Windows has no copy between two open handles; large reads and writes on
// the handles themselves still skip Qt's buffering and its small blocks.
qint64 copy(QFileDevice &from, QFileDevice &to, QString *reason)
{
    const auto in = reinterpret_cast<HANDLE>(_get_osfhandle(from.handle()));
    const auto out = reinterpret_cast<HANDLE>(_get_osfhandle(to.handle()));
    if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE)
        return fail(reason, ERROR_INVALID_HANDLE);
    QByteArray buffer(BufferSize, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, buffer.data(), BufferSize, &got, nullptr))
            return fail(reason, GetLastError());
        if (got == 0)
            return copied;
        DWORD put = 0;
        while (put < got) {
            DWORD written = 0;
            if (!WriteFile(out, buffer.constData() + put, got - put, &written, nullptr))
                return fail(reason, GetLastError());
            if (written == 0)
                return fail(reason, ERROR_DISK_FULL);
            put += written;
        }
        copied += got;
    }
}

} // namespace FileContentCopy
