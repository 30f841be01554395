#include "DiskSync.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace DiskSync {

PaintResult syncFile(QFileDevice &file)
{
    if (::fsync(file.handle()) != 0)
        return PaintResult::failure(file.fileName(), qt_error_string(errno));
    return PaintResult::success(file.fileName());
}

void startWriting(QFileDevice &file, qint64 from, qint64 length)
{
#ifdef __linux__
    ::sync_file_range(file.handle(), from, length, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file);
    Q_UNUSED(from);
    Q_UNUSED(length);
#endif
}

PaintResult syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const PaintResult failed = PaintResult::failure(folder, qt_error_string(errno));
        if (fd >= 0)
            ::close(fd);
        return failed;
    }
    ::close(fd);
    return PaintResult::success(folder);
}

PaintResult syncFiles(const QStringList &paths)
{
    // Every file is tried; the last that failed is named.
    PaintResult result = PaintResult::success();
    auto fail = [&](const QString &path) { result = PaintResult::failure(path, qt_error_string(errno)); };
    std::set<dev_t> fileSystems;
    for (const QString &path : paths) {
        const QByteArray name = QFile::encodeName(path);
        struct stat status;
        if (::stat(name.constData(), &status) != 0) {
            fail(path);
            continue;
        }
#ifdef __linux__
        if (!fileSystems.insert(status.st_dev).second)
            continue;
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::syncfs(fd) != 0)
            fail(path);
#else
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0)
            fail(path);
#endif
        if (fd >= 0)
            ::close(fd);
    }
    return result;
}

} // namespace DiskSync
