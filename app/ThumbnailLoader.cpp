#include "ThumbnailLoader.h"

#include "BackgroundThread.h"
#include "ThumbnailPicture.h"

#include <QColor>
#include <QPainter>
#include <QMetaObject>
#include <QMutexLocker>
#include <QThread>
#include <QTimer>

#include <utility>

namespace {
// Pictures kept in memory, in KiB: some 800 of 128 pixels, far more than
// fit on a screen; the rest come back from the disk cache quickly.
constexpr int memoryBudgetKiB = 64 * 1024;

// The pruning of the own cache waits this long after the loader starts.
constexpr int pruneDelayMs = 3000;

// Every picture handed out fills the same square, whatever the texture's
// shape or size, so grids line up and every cell is as easy to hit. It is
// made in the format the window draws in, here on the worker: converting
// while drawing would cost the window's thread at every redraw.
QImage centredInSquare(const QImage &picture)
{
    if (picture.width() == ThumbnailLoader::Side && picture.height() == ThumbnailLoader::Side)
        return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage square(ThumbnailLoader::Side, ThumbnailLoader::Side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage(QPoint((square.width() - picture.width()) / 2, (square.height() - picture.height()) / 2), picture);
    return square;
}
} // namespace

ThumbnailLoader::ThumbnailLoader(const ThumbnailFolder &own, const ThumbnailFolder &shared, QObject *parent)
    : QObject(parent), m_own(own), m_shared(shared), m_pictures(memoryBudgetKiB)
{
    m_library = std::make_unique<ConversionLibrary>(QString::fromLatin1(ConversionLibrary::DefaultName));
    m_pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
}

ThumbnailLoader::~ThumbnailLoader()
{
    m_stopping = true;
    cancelPending();
    m_pool.waitForDone();
}

QImage ThumbnailLoader::picture(const QString &path)
{
    if (path.isEmpty() || m_unreadable.contains(path))
        return QImage();
    if (const QImage *kept = m_pictures.object(path))
        return *kept;
    prefer({path});
    return QImage();
}

QImage ThumbnailLoader::placeholder()
{
    static const QImage grey = [] {
        QImage image(Side, Side, QImage::Format_RGB32);
        image.fill(QColor(0xd8, 0xd8, 0xd8));
        return image;
    }();
    return grey;
}

void ThumbnailLoader::prefer(const QStringList &paths)
{
    {
        QMutexLocker lock(&m_mutex);
        for (auto it = paths.crbegin(); it != paths.crend(); ++it) {
            const QString &path = *it;
            if (path.isEmpty() || m_busy.contains(path) || m_pictures.contains(path) || m_unreadable.contains(path))
                continue;
            if (m_queued.contains(path)) {
                const auto at = std::find(m_queue.begin(), m_queue.end(), path);
                if (at == m_queue.begin())
                    continue;
                if (at != m_queue.end())
                    m_queue.erase(at);
            }
            m_queue.push_front(path);
            m_queued.insert(path);
        }
    }
    startWorkers();
}

void ThumbnailLoader::forget(const QString &path)
{
    m_pictures.remove(path);
    m_unreadable.remove(path);
    m_pictured.remove(path);
}

void ThumbnailLoader::forgetIfChanged(const QString &path)
{
    const auto pictured = m_pictured.constFind(path);
    if (pictured != m_pictured.cend() && *pictured != ThumbnailIdentity::of(path))
        forget(path);
}

void ThumbnailLoader::cancelPending()
{
    QMutexLocker lock(&m_mutex);
    m_queue.clear();
    m_queued.clear();
}

void ThumbnailLoader::waitForIdle()
{
    m_pool.waitForDone();
}

int ThumbnailLoader::pendingCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_queue.size() + m_busy.size());
}

void ThumbnailLoader::startWorkers()
{
    QMutexLocker lock(&m_mutex);
    const int wanted = int(m_queue.size()) + (m_pruneTo >= 0 ? 1 : 0);
    while (m_workers < m_pool.maxThreadCount() && m_workers < wanted) {
        ++m_workers;
        m_pool.start([this] { work(); });
    }
}

void ThumbnailLoader::work()
{
    // Below the window's thread: the window is drawn first.
    moveThisThreadToBackground();
    for (;;) {
        QString path;
        qint64 pruneTo = -1;
        {
            QMutexLocker lock(&m_mutex);
            if (m_queue.empty()) {
                if (m_pruneTo < 0 || m_stopping) {
                    --m_workers;
                    return;
                }
                std::swap(pruneTo, m_pruneTo);
            } else {
                path = m_queue.front();
                m_queue.pop_front();
                m_queued.remove(path);
                m_busy.insert(path);
            }
        }
        if (pruneTo >= 0) {
            m_own.prune(pruneTo, &m_stopping);
            continue;
        }
        const ThumbnailIdentity identity = ThumbnailIdentity::of(path);
        QImage picture = make(path, identity);
        if (!picture.isNull())
            picture = centredInSquare(picture);
        bool post = false;
        {
            // Held briefly: the window's thread takes this lock too.
            QMutexLocker lock(&m_mutex);
            m_made.append({path, picture, identity});
            post = !std::exchange(m_deliveryPosted, true);
        }
        if (post)
            QMetaObject::invokeMethod(this, &ThumbnailLoader::deliverMade, Qt::QueuedConnection);
    }
}

void ThumbnailLoader::deliverMade()
{
    QList<Made> made;
    {
        QMutexLocker lock(&m_mutex);
        made.swap(m_made);
        m_deliveryPosted = false;
        for (const Made &one : std::as_const(made))
            m_busy.remove(one.path);
    }
    for (const Made &one : std::as_const(made)) {
        m_pictured.insert(one.path, one.identity);
        if (one.picture.isNull())
            m_unreadable.insert(one.path);
        else
            m_pictures.insert(one.path, new QImage(one.picture),
                              int(std::max<qsizetype>(1, one.picture.sizeInBytes() / 1024)));
        emit ready(one.path, one.picture);
    }
}

QImage ThumbnailLoader::make(const QString &path, const ThumbnailIdentity &identity)
{
    if (!identity.isValid())
        return QImage();
    if (const QByteArray kept = m_own.load(identity); !kept.isEmpty()) {
        const QImage picture = QImage::fromData(kept, "PNG");
        if (!picture.isNull())
            return picture;
    }
    if (const QByteArray shared = m_shared.load(identity); !shared.isEmpty()) {
        QImage picture = QImage::fromData(shared, "PNG");
        if (!picture.isNull()) {
            if (picture.width() > Side || picture.height() > Side)
                picture = picture.scaled(Side, Side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            return picture;
        }
    }
    const int side = m_shared.isUsable() ? SharedSide : Side;
    QImage picture = thumbnailPicture(path, side);
    if (picture.isNull())
        return picture;
    // Only when the file did not change while it was read.
    if (ThumbnailIdentity::of(path) != identity)
        return picture.width() > Side ? picture.scaled(Side, Side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                      : picture;
    if (m_shared.isUsable())
        m_shared.store(identity, thumbnailPng(picture, identity));
    if (picture.width() > Side || picture.height() > Side)
        picture = picture.scaled(Side, Side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_own.store(identity, thumbnailPng(picture, identity));
    return picture;
}

void ThumbnailLoader::pruneOwnCache(qint64 maxBytes)
{
    QTimer::singleShot(pruneDelayMs, this, [this, maxBytes] {
        {
            QMutexLocker lock(&m_mutex);
            m_pruneTo = maxBytes;
        }
        startWorkers();
    });
}
