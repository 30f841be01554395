#pragma once

#include "ConversionLibrary.h"
#include "ThumbnailStore.h"

#include <QCache>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QThreadPool>

#include <atomic>

#include <deque>
#include <memory>

// Makes thumbnails of texture files on worker threads, so the window never
// waits for a picture: a caller gets what is at hand (or nothing) at once
// and hears of the picture when it is ready. Pictures come from Corvane's own
// disk cache, else from the file managers' shared one, else from the
// conversion library (and are then written to both). The most recently
// asked are made first: those are the ones on screen.
class ThumbnailLoader : public QObject
{
    Q_OBJECT

public:
    // The side of the pictures handed out, and of the own cache's files.
    static constexpr int Side = 128;
    // The shared cache's "large" thumbnails.
    static constexpr int SharedSide = 256;

    ThumbnailLoader(const ThumbnailFolder &own, const ThumbnailFolder &shared, QObject *parent = nullptr);
    ~ThumbnailLoader() override;

    // The picture when it is at hand; otherwise a null image, and the
    // picture is made (ahead of everything asked for before).
    QImage picture(const QString &path);
    // The same picture at the side set for list rows, when it is at hand.
    QImage rowPicture(const QString &path);
    // List rows draw pictures this many device pixels wide: the workers
    // make that size too, so the window never reduces a picture itself.
    void setRowSide(int pixels) { m_rowSide = pixels; }
    // Whether asking for the picture gives the final answer (a picture, or
    // none because the file is no picture).
    bool isSettled(const QString &path) const { return m_pictures.contains(path) || m_unreadable.contains(path); }
    // Shown until a picture is in.
    static QImage placeholder();
    // Asks for these ahead of all others, the first one first.
    void prefer(const QStringList &paths);
    // The file changed: its picture is made again when next asked for.
    void forget(const QString &path);
    // The same, only when the file is no longer the one pictured.
    void forgetIfChanged(const QString &path);
    // Drops what was asked for and not yet begun.
    void cancelPending();
    // Waits until no worker runs (for leaving and for measuring).
    void waitForIdle();
    int pendingCount() const;

    // Keeps the own cache within its bound, on a worker, once no picture
    // waits: reading the whole cache must not hold up the first screenful.
    void pruneOwnCache(qint64 maxBytes);

signals:
    // A null picture: the file cannot be read as a picture.
    void ready(const QString &path, const QImage &picture);

private:
    struct Made
    {
        QString path;
        QImage picture;
        QImage row;
        ThumbnailIdentity identity;
    };
    struct Kept
    {
        QImage picture;
        QImage row;
    };
    void startWorkers();
    void work();
    QImage make(const QString &path, const ThumbnailIdentity &identity);
    void deliverMade();

    ThumbnailFolder m_own;
    ThumbnailFolder m_shared;
    // Held while the loader lives, so the conversions of its workers find
    // the library loaded instead of loading it each time.
    std::unique_ptr<ConversionLibrary> m_library;
    QThreadPool m_pool;

    mutable QMutex m_mutex;
    std::deque<QString> m_queue;  // front first
    QSet<QString> m_queued;
    QSet<QString> m_busy;
    int m_workers = 0;
    // Pictures made and not yet handed to the window, which takes all of
    // them in one go: one redraw for many pictures.
    QList<Made> m_made;
    bool m_deliveryPosted = false;
    qint64 m_pruneTo = -1; // a bound to prune to once idle, or none
    std::atomic_bool m_stopping = false;
    std::atomic_int m_rowSide = 0;

    // Window thread only.
    QCache<QString, Kept> m_pictures;
    QSet<QString> m_unreadable;
    QHash<QString, ThumbnailIdentity> m_pictured;
};
