// A worker moved to the background: lowered once however often it asks,
// and only itself, never the window's thread.
#include "BackgroundThread.h"

#include <QThread>
#include <QtTest>

#include <algorithm>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

// The calling thread's standing, in the system's own terms.
int standing()
{
#ifdef Q_OS_WIN
    return GetThreadPriority(GetCurrentThread());
#else
    return getpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)));
#endif
}

} // namespace

class BackgroundThreadTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheCallerIsLoweredAndOnlyOnce()
    {
        const int window = standing();
        QList<int> seen;
        bool moved = false;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            seen << standing();
            moved = moveThisThreadToBackground();
            seen << standing();
            moveThisThreadToBackground();
            seen << standing();
        }));
        worker->start();
        QVERIFY(worker->wait(10000));
        QVERIFY(moved);
        QCOMPARE(seen.size(), 3);
        QCOMPARE(seen[0], window);
#ifdef Q_OS_WIN
        QCOMPARE(seen[1], THREAD_PRIORITY_BELOW_NORMAL);
#else
        // Nice values grow as a thread gives way.
        QCOMPARE(seen[1], std::min(19, window + 5));
#endif
        QCOMPARE(seen[2], seen[1]);
        QCOMPARE(standing(), window);
    }
};

QTEST_GUILESS_MAIN(BackgroundThreadTest)
#include "tst_BackgroundThread.moc"
