#include "AircraftLock.h"

#include "RuntimeFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>

namespace {

// Lock files held by this thread, with how many holders share each.
thread_local QHash<QString, int> heldHere;

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
    if (auto nested = heldHere.find(m_lockPath); nested != heldHere.end()) {
        ++*nested;
        m_held = m_nested = true;
        return true;
    }
    m_file = std::make_unique<QLockFile>(m_lockPath);
    // Only a holder that no longer runs gives its lock up: an install of a
    // large archive may rightly hold it for minutes.
    m_file->setStaleLockTime(0);
    if (!m_file->tryLock(waitMs))
        return false;
    heldHere.insert(m_lockPath, 1);
    m_held = true;
    return true;
}

void AircraftLock::release()
{
    if (!m_held)
        return;
    m_held = false;
    auto entry = heldHere.find(m_lockPath);
    if (entry != heldHere.end() && --*entry == 0)
        heldHere.erase(entry);
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
    if (heldHere.contains(probe.m_lockPath))
        return true;
    if (probe.acquire(0))
        return false; // released again as the probe goes
    return true;
}
