// Worker threads that matched regular expressions end cleanly in the Windows
// build. A fault while a thread ends is swallowed where the thread ends and
// shows only later, as a program that never finishes exiting; a vectored
// handler sees every exception first, whichever thread raises it, so the
// faults are counted here as they happen.
#include "InterpretedRegexes.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QtTest>

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

std::atomic_int accessViolations = 0;

LONG CALLBACK countAccessViolations(EXCEPTION_POINTERS *exception)
{
    if (exception->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION)
        ++accessViolations;
    return EXCEPTION_CONTINUE_SEARCH;
}

// Enough threads that a fault of one in a few ends is all but certain.
constexpr int Threads = 8;

enum class Match { OwnExpression, FolderNameFilter };
enum class Thread { PoolWorker, ThreadOfItsOwn };

void matchOnce(Match match, const QString &folder)
{
    if (match == Match::OwnExpression) {
        static const QRegularExpression temporary(QStringLiteral("^\\.corvane-[A-Za-z0-9]{6}\\.tmp$"));
        QVERIFY(temporary.match(QStringLiteral(".corvane-a1B2c3.tmp")).hasMatch());
    } else {
        QDirIterator pictures(folder, {QStringLiteral("*.png")}, QDir::Files);
        QVERIFY(pictures.hasNext());
    }
}

} // namespace

class InterpretedRegexesTest : public QObject
{
    Q_OBJECT

private slots:
    void workersEndWithoutFault_data()
    {
        QTest::addColumn<Match>("match");
        QTest::addColumn<Thread>("thread");
        QTest::newRow("own expression, pool worker") << Match::OwnExpression << Thread::PoolWorker;
        QTest::newRow("folder name filter, pool worker") << Match::FolderNameFilter << Thread::PoolWorker;
        QTest::newRow("own expression, thread of its own") << Match::OwnExpression << Thread::ThreadOfItsOwn;
    }

    void workersEndWithoutFault()
    {
        QFETCH(Match, match);
        QFETCH(Thread, thread);
        QTemporaryDir folder;
        QFile picture(folder.filePath("a.png"));
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.close();
        const int before = accessViolations;

        if (thread == Thread::PoolWorker) {
            QThreadPool pool;
            pool.setMaxThreadCount(Threads);
            // Every task waits for the others, so each runs on a thread of
            // its own; the pool's end ends the threads.
            QSemaphore started;
            QSemaphore go;
            for (int i = 0; i < Threads; ++i)
                pool.start([&] {
                    started.release();
                    go.acquire();
                    matchOnce(match, folder.path());
                });
            started.acquire(Threads);
            go.release(Threads);
        } else {
            std::vector<std::unique_ptr<QThread>> threads;
            for (int i = 0; i < Threads; ++i) {
                threads.emplace_back(QThread::create([&] { matchOnce(match, folder.path()); }));
                threads.back()->start();
            }
            for (auto &ended : threads)
                QVERIFY(ended->wait());
        }
        QCOMPARE(accessViolations - before, 0);
    }
};

int main(int argc, char **argv)
{
    useInterpretedRegexes();
    AddVectoredExceptionHandler(1, countAccessViolations);
    QCoreApplication app(argc, argv);
    InterpretedRegexesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_InterpretedRegexes.moc"
