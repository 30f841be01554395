#include "AircraftWatch.h"

#include "ChangeTime.h"
#include "RegularFileOpen.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {
// Writers replace files by renaming a new one over them, and several files
// change in one step (a backup, then the main texture, then the list).
constexpr int SettleMs = 250;
// The lists Corvane reads are small; one larger is not read whole here.
constexpr qint64 LargestListRead = 2 * 1024 * 1024;
} // namespace

AircraftWatch::AircraftWatch(QObject *parent)
    : QObject(parent)
    , m_watcher(new QFileSystemWatcher(this))
    , m_settle(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(SettleMs);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_settle, qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle, qOverload<>(&QTimer::start));
    connect(m_settle, &QTimer::timeout, this, &AircraftWatch::settle);
}

void AircraftWatch::watch(const QString &paintListPath, const QString &mainTexturePath)
{
    m_list = paintListPath;
    m_mainTexture = mainTexturePath;
    m_settle->stop();
    rewatch();
    remember();
}

void AircraftWatch::remember()
{
    m_known = currentState();
}

void AircraftWatch::rewatch()
{
    if (!m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    QStringList paths;
    for (const QString &path : {m_list, m_mainTexture}) {
        if (!path.isEmpty() && QFileInfo(path).isFile())
            paths << path;
    }
    // The folder too: a file replaced by a rename, or created, shows there.
    if (!m_list.isEmpty())
        paths << QFileInfo(m_list).absolutePath();
    if (!paths.isEmpty())
        m_watcher->addPaths(paths);
}

QByteArray AircraftWatch::currentState() const
{
    QCryptographicHash state(QCryptographicHash::Sha1);
    QFile list(m_list);
    if (!m_list.isEmpty() && QFileInfo(m_list).size() <= LargestListRead && RegularFileOpen::openForReading(list))
        state.addData(list.readAll());
    // The main texture may be large: its size and times stand for it.
    const QFileInfo texture(m_mainTexture);
    if (!m_mainTexture.isEmpty() && texture.exists()) {
        state.addData(QByteArray::number(texture.size()));
        state.addData(texture.lastModified().toString(Qt::ISODateWithMs).toUtf8());
        state.addData(ChangeTime::of(texture).toString(Qt::ISODateWithMs).toUtf8());
    }
    return state.result();
}

void AircraftWatch::settle()
{
    // A replaced file is a new one to the system: watch the names again.
    rewatch();
    const QByteArray now = currentState();
    if (now == m_known)
        return;
    m_known = now;
    emit changedOutside();
}
