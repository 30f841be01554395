#include "ThumbnailLoader.h"

#include "ThumbnailPicture.h"

#include <QColor>
#include <QPainter>
#include <QMetaObject>
#include <QMutexLocker>
#include <QThread>

namespace {
// Pictures kept in memory, in KiB: some 800 of 128 pixels, far more than
// fit on a screen; the rest come back from the disk cache quickly.
constexpr int memoryBudgetKiB = 64 * 1024;

// Every picture handed out fills the same square, whatever the texture's
// shape or size, so grids line up and every cell is as easy to hit.
QImage centredInSquare(const QImage &picture)
{
    if (picture.width() == ThumbnailLoader::Side && picture.height() == ThumbnailLoader::Side)
        return picture;
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
    // Below the window's thread: the window is drawn first.
    m_pool.setThreadPriority(QThread::LowPriority);
}

ThumbnailLoader::~ThumbnailLoader()
{
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
    while (m_workers < m_pool.maxThreadCount() && int(m_queue.size()) > 0 && m_workers < int(m_queue.size())) {
        ++m_workers;
        m_pool.start([this] { work(); });
    }
}

void ThumbnailLoader::work()
{
    for (;;) {
        QString path;
        {
            QMutexLocker lock(&m_mutex);
            if (m_queue.empty()) {
                --m_workers;
                return;
            }
            path = m_queue.front();
            m_queue.pop_front();
            m_queued.remove(path);
            m_busy.insert(path);
        }
        const ThumbnailIdentity identity = ThumbnailIdentity::of(path);
        const QImage picture = make(path, identity);
        QMetaObject::invokeMethod(
            this, [this, path, picture, identity] { deliver(path, picture, identity); }, Qt::QueuedConnection);
    }
}

void ThumbnailLoader::deliver(const QString &path, const QImage &picture, const ThumbnailIdentity &identity)
{
    m_pictured.insert(path, identity);
    {
        QMutexLocker lock(&m_mutex);
        m_busy.remove(path);
    }
    if (picture.isNull()) {
        m_unreadable.insert(path);
        emit ready(path, picture);
        return;
    }
    const QImage square = centredInSquare(picture);
    m_pictures.insert(path, new QImage(square), int(std::max<qsizetype>(1, square.sizeInBytes() / 1024)));
    emit ready(path, square);
}

QImage ThumbnailLoader::make(const QString &path, const ThumbnailIdentity &identity)
{
    if (!identity.isValid())
        return QImage();
    if (const QString kept = m_own.find(identity); !kept.isEmpty()) {
        QImage picture(kept, "PNG");
        if (!picture.isNull())
            return picture;
    }
    if (const QString shared = m_shared.find(identity); !shared.isEmpty()) {
        QImage picture(shared, "PNG");
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
    const ThumbnailFolder own = m_own;
    m_pool.start([own, maxBytes] { own.prune(maxBytes); });
}
