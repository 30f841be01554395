#include "AircraftLock.h"

#include "RuntimeFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QMutex>
#include <QThread>

namespace {

// The lock files this process holds: which thread holds each, and how many
// holders on that thread share it. A map behind a mutex rather than a
// thread-local one: mingw's threads run the destructors of thread-local
// objects unreliably when a worker thread ends.
struct Holding
{
    Qt::HANDLE thread = nullptr;
    int holders = 0;
};

QMutex heldMutex;
QHash<QString, Holding> held;

bool heldByThisThread(const QString &lockPath)
{
    const QMutexLocker locker(&heldMutex);
    const auto holding = held.constFind(lockPath);
    return holding != held.cend() && holding->thread == QThread::currentThreadId();
}

QString folderKey(const QString &aircraftFolder)
{
    QString key = QFileInfo(aircraftFolder).canonicalFilePath();
    if (key.isEmpty())
        key = QDir::cleanPath(QFileInfo(aircraftFolder).absoluteFilePath());
#ifdef Q_OS_WIN
    key = key.toLower(); // one folder, whatever the spelling
#endif
    return key;
}

} // namespace

AircraftLock::AircraftLock(const QString &aircraftFolder)
    : m_folder(aircraftFolder)
    , m_lockPath(lockFilePath(aircraftFolder))
{
}

AircraftLock::~AircraftLock()
{
    release();
}

QString AircraftLock::lockFilePath(const QString &aircraftFolder)
{
    const QByteArray digest = QCryptographicHash::hash(folderKey(aircraftFolder).toUtf8(), QCryptographicHash::Sha1);
    return userRuntimeFolder() + QStringLiteral("/aircraft-") + QString::fromLatin1(digest.toHex().left(24))
           + QStringLiteral(".lock");
}

bool AircraftLock::acquire(int waitMs)
{
    if (m_held)
        return true;
    {
        const QMutexLocker locker(&heldMutex);
        if (auto nested = held.find(m_lockPath); nested != held.end() && nested->thread == QThread::currentThreadId()) {
            ++nested->holders;
            m_held = m_nested = true;
            return true;
        }
    }
    m_file = std::make_unique<QLockFile>(m_lockPath);
    // Only a holder that no longer runs gives its lock up: an install of a
    // large archive may rightly hold it for minutes.
    m_file->setStaleLockTime(0);
    if (!m_file->tryLock(waitMs))
        return false;
    {
        const QMutexLocker locker(&heldMutex);
        held.insert(m_lockPath, {QThread::currentThreadId(), 1});
    }
    m_held = true;
    return true;
}

void AircraftLock::release()
{
    if (!m_held)
        return;
    m_held = false;
    {
        const QMutexLocker locker(&heldMutex);
        auto entry = held.find(m_lockPath);
        if (entry != held.end() && --entry->holders == 0)
            held.erase(entry);
    }
    if (m_nested) {
        m_nested = false;
        return;
    }
    m_file->unlock();
    m_file.reset();
}

PaintResult AircraftLock::refusal() const
{
    const QString folder = QDir::toNativeSeparators(m_folder);
    if (!m_file || m_file->error() != QLockFile::LockFailedError) {
        return PaintResult::failure(folder, QStringLiteral("Corvane could not make sure it is the only program changing "
                                                           "this aircraft's files: its lock file\n%1\ncannot be created. "
                                                           "Nothing was changed.")
                                                .arg(QDir::toNativeSeparators(m_lockPath)));
    }
    qint64 pid = 0;
    QString host;
    QString program;
    QString holder = QStringLiteral("another program");
    if (m_file->getLockInfo(&pid, &host, &program)) {
        holder = QStringLiteral("%1 (process %2%3)")
                     .arg(program.isEmpty() ? QStringLiteral("another program") : program)
                     .arg(pid)
                     .arg(host.isEmpty() ? QString() : QStringLiteral(" on ") + host);
    }
    return PaintResult::failure(folder, QStringLiteral("%1 is changing this aircraft's files right now. Nothing was "
                                                       "changed; try again when it is done.")
                                            .arg(holder));
}

bool AircraftLock::isWriterAlive(const QString &aircraftFolder)
{
    AircraftLock probe(aircraftFolder);
    if (heldByThisThread(probe.m_lockPath))
        return true;
    if (probe.acquire(0))
        return false; // released again as the probe goes
    return true;
}
