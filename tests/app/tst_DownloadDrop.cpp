#include "DownloadDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

// What a file manager's drag gives the window, and what the window hands on.
class DownloadDropTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void onlyLocalFilesThatCouldHoldPaintsAreTaken_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QStringList>("taken");
        const QString folder = m_dir.filePath("Downloads");
        QVERIFY(QDir().mkpath(folder));
        const QUrl zip = QUrl::fromLocalFile("/d/Sunset.ZIP");
        const QUrl dds = QUrl::fromLocalFile("/d/p51_t.dds");
        QTest::newRow("archives, textures and folders")
            << QList<QUrl>{zip, dds, QUrl::fromLocalFile("/d/box.7z"), QUrl::fromLocalFile(folder)}
            << QStringList{"/d/Sunset.ZIP", "/d/p51_t.dds", "/d/box.7z", folder};
        QTest::newRow("other files are passed over")
            << QList<QUrl>{QUrl::fromLocalFile("/d/readme.txt"), dds, QUrl::fromLocalFile("/d/zip")}
            << QStringList{"/d/p51_t.dds"};
        QTest::newRow("a web address is no file") << QList<QUrl>{QUrl("https://example.org/paint.zip")} << QStringList();
        QTest::newRow("nothing") << QList<QUrl>() << QStringList();
    }

    void onlyLocalFilesThatCouldHoldPaintsAreTaken()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QStringList, taken);
        QMimeData data;
        data.setUrls(urls);
        QCOMPARE(DownloadDrop::downloadsIn(&data), taken);
        QCOMPARE(DownloadDrop::downloadsIn(nullptr), QStringList());
    }

    // The paths are handed on once the drop has returned, with where they
    // were let go; a window that cannot install takes nothing.
    void theDropIsHandedOnAfterItIsOver_data()
    {
        QTest::addColumn<bool>("canInstall");
        QTest::addColumn<bool>("overPaintRows");
        QTest::newRow("on the window") << true << false;
        QTest::newRow("on the paint rows") << true << true;
        QTest::newRow("no aircraft known") << false << false;
    }

    void theDropIsHandedOnAfterItIsOver()
    {
        QFETCH(bool, canInstall);
        QFETCH(bool, overPaintRows);
        QWidget window;
        window.resize(300, 200);
        auto *rows = new QWidget(&window);
        rows->setGeometry(10, 100, 100, 80);
        DownloadDrop drop(&window, rows, [canInstall] { return canInstall; });
        QVERIFY(window.acceptDrops());
        QSignalSpy dropped(&drop, &DownloadDrop::dropped);

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile("/d/Sunset.zip")});
        const QPoint at = overPaintRows ? QPoint(20, 120) : QPoint(200, 20);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &enter);
        QCOMPARE(enter.isAccepted(), canInstall);
        if (!canInstall)
            return;
        QDropEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &event);
        QVERIFY(event.isAccepted());
        QCOMPARE(dropped.count(), 0); // not inside the drop
        QTRY_COMPARE(dropped.count(), 1);
        QCOMPARE(dropped.at(0).at(0).toStringList(), QStringList{"/d/Sunset.zip"});
        QCOMPARE(dropped.at(0).at(1).toBool(), overPaintRows);
    }
};

QTEST_MAIN(DownloadDropTest)
#include "tst_DownloadDrop.moc"
