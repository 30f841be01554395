#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

// Downloads dragged onto a window from a file manager: paint archives,
// textures and folders of them. Nothing is installed here; once the drop is
// over, `dropped` hands the paths on, saying whether they were let go over
// the paint rows (then they are for the aircraft shown). A dialog opened
// inside the drop would keep the file manager waiting in its drag until it
// closed.
class DownloadDrop : public QObject
{
    Q_OBJECT

public:
    // `acceptsNow` says whether the window can install at all (it knows
    // some aircraft).
    DownloadDrop(QWidget *window, QWidget *paintRows, std::function<bool()> acceptsNow);

    // The local files a drag carries that could hold paints.
    static QStringList downloadsIn(const QMimeData *data);

signals:
    void dropped(const QStringList &paths, bool onPaintRows);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QWidget *m_paintRows;
    std::function<bool()> m_acceptsNow;
};
