#include "DiskSync.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace DiskSync {

static bool syncFileWithReason(QFileDevice &file, QString *reason)
{
    if (::fsync(file.handle()) == 0)
        return true;
    if (reason)
        *reason = qt_error_string(errno);
    return false;
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

static bool syncFolderWithReason(const QString &folder, QString *reason)
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

static bool syncFilesWithReason(const QStringList &paths, QString *reason, QString *failed)
{
    bool synced = true;
    auto fail = [&](const QString &path) {
        if (reason)
            *reason = qt_error_string(errno);
        if (failed)
            *failed = path;
        synced = false;
    };
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
    return synced;
}

PaintResult syncFile(QFileDevice &file)
{
    QString reason;
    if (!syncFileWithReason(file, &reason))
        return PaintResult::failure(file.fileName(), reason);
    return PaintResult::success(file.fileName());
}

PaintResult syncFolder(const QString &folder)
{
    QString reason;
    if (!syncFolderWithReason(folder, &reason))
        return PaintResult::failure(folder, reason);
    return PaintResult::success(folder);
}

PaintResult syncFiles(const QStringList &paths)
{
    QString reason;
    QString failed;
    if (!syncFilesWithReason(paths, &reason, &failed))
        return PaintResult::failure(failed, reason);
    return PaintResult::success();
}

} // namespace DiskSync
