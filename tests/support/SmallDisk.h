#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#ifndef _WIN32
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// A really full disk: work runs in a child process that sees a tiny tmpfs
// mounted over the given folder (in a mount namespace of its own, so nothing
// outside the child ever sees it). Answers the child's result, or
// SmallDisk::Unavailable where the system allows no such mount.
namespace SmallDisk {

constexpr int Unavailable = 77;

#ifdef _WIN32
// Windows mounts no such disks for a process.
inline int run(const QString &, int, const std::function<int()> &)
{
    return Unavailable;
}
#else

namespace detail {
inline bool writeProcFile(const char *path, const QByteArray &text)
{
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return ok;
}

inline bool enterOwnMountNamespace()
{
    if (::unshare(CLONE_NEWNS) == 0)
        return true;
    // Without privileges, a user namespace of our own grants the mount.
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return false;
    writeProcFile("/proc/self/setgroups", "deny");
    return writeProcFile("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1")
           && writeProcFile("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1");
}
} // namespace detail

inline int run(const QString &folder, int sizeInKiB, const std::function<int()> &work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (!detail::enterOwnMountNamespace()
            || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(Unavailable);
        const QByteArray options = "size=" + QByteArray::number(sizeInKiB) + "k";
        if (::mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs", 0, options.constData()) != 0)
            ::_exit(Unavailable);
        ::_exit(work());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
#endif

} // namespace SmallDisk
