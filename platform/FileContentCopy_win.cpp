#include "FileContentCopy.h"

#include <QByteArray>

#include <io.h>
#include <windows.h>

namespace FileContentCopy {

namespace {

constexpr DWORD BufferSize = 1 << 20;

PaintResult failed(const QFileDevice &file, DWORD error)
{
    return PaintResult::failure(file.fileName(), qt_error_string(int(error)));
}

} // namespace

// Windows has no copy between two open handles; large reads and writes on
// the handles themselves still skip Qt's buffering and its small blocks.
PaintResult copy(QFileDevice &from, QFileDevice &to, qint64 *copied)
{
    *copied = 0;
    const auto in = reinterpret_cast<HANDLE>(_get_osfhandle(from.handle()));
    const auto out = reinterpret_cast<HANDLE>(_get_osfhandle(to.handle()));
    if (in == INVALID_HANDLE_VALUE)
        return failed(from, ERROR_INVALID_HANDLE);
    if (out == INVALID_HANDLE_VALUE)
        return failed(to, ERROR_INVALID_HANDLE);
    QByteArray buffer(BufferSize, Qt::Uninitialized);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in, buffer.data(), BufferSize, &got, nullptr))
            return failed(from, GetLastError());
        if (got == 0)
            return PaintResult::success(to.fileName());
        DWORD put = 0;
        while (put < got) {
            DWORD written = 0;
            if (!WriteFile(out, buffer.constData() + put, got - put, &written, nullptr))
                return failed(to, GetLastError());
            if (written == 0)
                return failed(to, ERROR_DISK_FULL);
            put += written;
        }
        *copied += got;
    }
}

} // namespace FileContentCopy
