#include "DownloadDrop.h"

#include "PaintArchive.h"
#include "TextureFile.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QWidget>

DownloadDrop::DownloadDrop(QWidget *window, QWidget *paintRows, std::function<bool()> acceptsNow)
    : QObject(window)
    , m_window(window)
    , m_paintRows(paintRows)
    , m_acceptsNow(std::move(acceptsNow))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QStringList DownloadDrop::downloadsIn(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty()
            && (PaintArchive::isArchiveFileName(path) || TextureFile::hasTextureExtension(path)
                || QFileInfo(path).isDir()))
            paths.append(path);
    }
    return paths;
}

bool DownloadDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    if (event->type() == QEvent::DragEnter) {
        auto *enter = static_cast<QDragEnterEvent *>(event);
        if (m_acceptsNow() && !downloadsIn(enter->mimeData()).isEmpty())
            enter->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList paths = downloadsIn(drop->mimeData());
        if (paths.isEmpty())
            return true;
        drop->acceptProposedAction();
        const QPoint onRows = m_paintRows->mapFrom(m_window, drop->position().toPoint());
        const bool onPaintRows = m_paintRows->rect().contains(onRows);
        QMetaObject::invokeMethod(
            this, [this, paths, onPaintRows] { emit dropped(paths, onPaintRows); }, Qt::QueuedConnection);
        return true;
    }
    return false;
}
