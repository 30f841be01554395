// A stand-in file manager for the real-window tests: a small window that
// starts dragging the files named on its command line as soon as the mouse
// is pressed on it, the way a file is dragged out of a folder window.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <cstdio>

namespace {

class DragSource : public QLabel
{
public:
    explicit DragSource(const QStringList &paths) : QLabel(QStringLiteral("drag me")), m_paths(paths)
    {
        setWindowTitle(QStringLiteral("drag source"));
        resize(120, 60);
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *data = new QMimeData;
        QList<QUrl> urls;
        for (const QString &path : m_paths)
            urls.append(QUrl::fromLocalFile(path));
        data->setUrls(urls);
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction);
        // Read by the test when a window it drove afterwards did not react.
        std::fprintf(stderr, "drag source: drag over, action %d\n", int(action));
    }

private:
    QStringList m_paths;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    DragSource source(app.arguments().mid(1));
    source.move(900, 0);
    source.show();
    return app.exec();
}
