#include "AircraftLock.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

// Run as a child with "--hold FOLDER": takes the aircraft's lock, says so,
// and holds it until killed.
static int holdLockUntilKilled(const QString &folder)
{
    AircraftLock lock(folder);
    if (!lock.acquire(0))
        return 1;
    std::puts("held");
    std::fflush(stdout);
    QThread::sleep(60);
    return 0;
}

class TestAircraftLock : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;
    QTemporaryDir m_game;

    QString aircraft(const QString &name) const { return m_game.filePath(name) + "/"; }

    // Whether a lock of the folder can be taken from another thread now.
    static bool freeElsewhere(const QString &folder)
    {
        bool taken = false;
        QThread *other = QThread::create([&] {
            AircraftLock lock(folder);
            taken = lock.acquire(0);
        });
        other->start();
        other->wait();
        delete other;
        return taken;
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        for (const char *name : {"P51", "Zero", "Spitfire", "Killed"})
            QVERIFY(QDir().mkpath(aircraft(name)));
    }

    void oneWriterPerAircraft()
    {
        AircraftLock lock(aircraft("P51"));
        QVERIFY(!AircraftLock::isWriterAlive(aircraft("P51")));
        QVERIFY(lock.acquire());
        QVERIFY(AircraftLock::isWriterAlive(aircraft("P51")));
        QVERIFY(!freeElsewhere(aircraft("P51")));
        QVERIFY(freeElsewhere(aircraft("Zero"))); // other aircraft are not held up

        // The same folder by another spelling of its path is the same lock.
        QCOMPARE(AircraftLock::lockFilePath(m_game.filePath("Zero/../P51/")), AircraftLock::lockFilePath(aircraft("P51")));

        lock.release();
        QVERIFY(!AircraftLock::isWriterAlive(aircraft("P51")));
        QVERIFY(freeElsewhere(aircraft("P51")));
    }

    void aHolderMayLockAgainInside()
    {
        AircraftLock outer(aircraft("Spitfire"));
        QVERIFY(outer.acquire(0));
        {
            AircraftLock inner(aircraft("Spitfire"));
            QVERIFY(inner.acquire(0));
        }
        // The inner release left the outer hold in place.
        QVERIFY(!freeElsewhere(aircraft("Spitfire")));
        outer.release();
        QVERIFY(freeElsewhere(aircraft("Spitfire")));
    }

    void aSecondWriterIsToldWhoHoldsIt()
    {
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {"--hold", aircraft("Zero")});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

        AircraftLock lock(aircraft("Zero"));
        QVERIFY(!lock.acquire(200));
        const PaintResult refused = lock.refusal();
        QVERIFY(!refused);
        QVERIFY2(refused.reason.contains(QString("process %1").arg(holder.processId())), qPrintable(refused.reason));
        QVERIFY(refused.reason.contains("Nothing was changed"));
        QVERIFY(AircraftLock::isWriterAlive(aircraft("Zero")));

        holder.kill();
        QVERIFY(holder.waitForFinished());
    }

    void theLockOfAKilledHolderIsTakenOver()
    {
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {"--hold", aircraft("Killed")});
        QVERIFY(holder.waitForReadyRead(10000));
        holder.kill();
        QVERIFY(holder.waitForFinished());
        // Its file stays behind, naming a process that no longer runs.
        QVERIFY(QFile::exists(AircraftLock::lockFilePath(aircraft("Killed"))));

        QVERIFY(!AircraftLock::isWriterAlive(aircraft("Killed")));
        AircraftLock lock(aircraft("Killed"));
        QVERIFY(lock.acquire(0));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0)
        return holdLockUntilKilled(QString::fromLocal8Bit(argv[2]));
    TestAircraftLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_AircraftLock.moc"
