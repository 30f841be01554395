#pragma once

// Windows has neither file size limits nor users to switch to: the tests that
// need these skip there.
#ifndef _WIN32

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Ways to make file work fail on purpose, also for a test run as root (whom
// file permissions do not stop).
namespace FaultInjection {

// While alive, no file may grow beyond maxBytes: writes past it fail as on
// a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t maxBytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = maxBytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

// Runs work in a child process under an unprivileged user, so that read-only
// folders are read-only for it; answers the child's result (or -1).
inline int asUnprivilegedUser(const std::function<int()> &work)
{
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(255);
        _exit(work());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace FaultInjection

#endif
