// Installing downloads through the real command line, beside unzip + cp of
// the same files in the same run:
//  - many small textures: the install lists the aircraft folder once, so N
//    textures cost about N file creations (limit: 3x unzip + cp);
//  - a few large textures: streamed to their files, never held whole (peak
//    memory at most 64 MiB above the largest entry; time within 1.2x
//    unzip + cp + one sync).
// The window's size after an install is bench_install_window's.
//   bench_install [small count] [large MiB] [rounds]
// Needs unzip (apt-get install -y unzip); run from a folder on a real disk.
#include "BenchDownloads.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Run
{
    double seconds = 0;
    long peakKiB = 0;
    int status = -1;
};

// One program, timed, with its own peak memory from the system; what it
// prints is not wanted. Forked, not spawned: a spawned child shares this
// process's memory until its exec, and the system then counts this
// process's peak as the child's.
Run spawn(const QStringList &arguments)
{
    QList<QByteArray> bytes;
    for (const QString &argument : arguments)
        bytes << QFile::encodeName(argument);
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return {clock.nsecsElapsed() / 1e9, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

struct Comparison
{
    Run corvane;
    double peer = 0;
};

Comparison installBesidePeer(const QString &work, const QString &zip, bool peerSyncs)
{
    const QString game = makeGame(work + "/game");
    const QString copy = work + "/copy";
    QDir().mkpath(copy);
    QDir().mkpath(work + "/unzipped");
    spawn({"sync"});
    Comparison result;
    result.corvane = spawn({CORVANE_CLI, "--game", game, "install", zip, "--aircraft", "P51", "--yes"});
    if (result.corvane.status != 0)
        qFatal("the install failed");
    QElapsedTimer clock;
    clock.start();
    spawn({"unzip", "-q", "-o", zip, "-d", work + "/unzipped"});
    spawn({"sh", "-c", QString("cp -r '%1/unzipped/P51/.' '%2/'").arg(work, copy)});
    if (peerSyncs)
        spawn({"sync"});
    result.peer = clock.nsecsElapsed() / 1e9;
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int smallCount = argc > 1 ? atoi(argv[1]) : 10000;
    const int largeMiB = argc > 2 ? atoi(argv[2]) : 320;
    const int rounds = argc > 3 ? atoi(argv[3]) : 3;
    QTemporaryDir dir(QDir::currentPath() + "/bench-install-XXXXXX");

    QList<Entry> small;
    for (int i = 0; i < smallCount; ++i)
        small.append({QString("P51/small_%1.dds").arg(i, 5, 10, QChar('0')).toUtf8(), texture(2048, i)});
    const QString smallZip = dir.filePath("small.zip");
    writeZip(smallZip, small);
    small.clear();

    constexpr int LargestMiB = 64;
    const QString largeZip = writeLargeZip(dir.filePath("large.zip"), largeMiB, LargestMiB);
    std::printf("archives: %d small textures (%lld KiB), %d MiB in %d-MiB textures (%lld MiB)\n", smallCount,
                QFileInfo(smallZip).size() >> 10, largeMiB, LargestMiB, QFileInfo(largeZip).size() >> 20);

    for (int round = 1; round <= rounds; ++round) {
        std::printf("round %d\n", round);
        const Comparison s = installBesidePeer(dir.filePath(QString("s%1").arg(round)), smallZip, false);
        std::printf("  %d small textures: corvane-cli %.2f s, unzip + cp %.2f s: %.2fx (limit 3.00x)\n", smallCount,
                    s.corvane.seconds, s.peer, s.corvane.seconds / s.peer);
        const Comparison l = installBesidePeer(dir.filePath(QString("l%1").arg(round)), largeZip, true);
        std::printf("  %d MiB of large textures: corvane-cli %.2f s, unzip + cp + sync %.2f s: %.2fx (limit 1.20x)\n",
                    largeMiB, l.corvane.seconds, l.peer, l.corvane.seconds / l.peer);
        std::printf("  peak memory of that install %ld MiB, largest entry %d MiB (limit %d MiB)\n",
                    l.corvane.peakKiB >> 10, LargestMiB, LargestMiB + 64);
    }
    return 0;
}
