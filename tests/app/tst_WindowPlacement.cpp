#include "WindowPlacement.h"

#include <QtTest>

class WindowPlacementTest : public QObject
{
    Q_OBJECT

private slots:
    void storedPositionKeptOnlyWhenTheCaptionCanBeReached_data()
    {
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<QPoint>("placed");
        const QList<QRect> one{QRect(0, 0, 1280, 1024)};
        const QList<QRect> two{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
        const QPoint fallback(40, 40);
        QTest::newRow("on the screen") << one << QPoint(300, 200) << QPoint(300, 200);
        QTest::newRow("partly off the right edge") << one << QPoint(1100, 200) << QPoint(1100, 200);
        QTest::newRow("partly off the left edge") << one << QPoint(-600, 10) << QPoint(-600, 10);
        QTest::newRow("on the second monitor") << two << QPoint(2000, 300) << QPoint(2000, 300);
        QTest::newRow("second monitor unplugged") << one << QPoint(2000, 300) << fallback;
        QTest::newRow("far off") << one << QPoint(-30000, -30000) << fallback;
        QTest::newRow("caption above the screen") << one << QPoint(100, -100) << fallback;
        QTest::newRow("below the screen") << one << QPoint(100, 1020) << fallback;
        QTest::newRow("only a sliver at the right") << one << QPoint(1260, 100) << fallback;
        QTest::newRow("no screens at all") << QList<QRect>() << QPoint(100, 100) << fallback;
    }

    void storedPositionKeptOnlyWhenTheCaptionCanBeReached()
    {
        QFETCH(QList<QRect>, screens);
        QFETCH(QPoint, stored);
        QFETCH(QPoint, placed);
        QCOMPARE(reachablePosition(stored, QSize(701, 534), screens, QPoint(40, 40)), placed);
    }

    void opensOverItsOwnerInsideTheScreen_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("placed");
        const QRect screen(0, 0, 1920, 1080);
        // A second monitor to the right, its taskbar at the top.
        const QRect second(1920, 40, 1280, 984);
        const QSize collection(1000, 680);
        QTest::newRow("owner in the middle") << screen << QRect(500, 400, 700, 500) << collection << QPoint(349, 309);
        QTest::newRow("owner at the top left") << screen << QRect(10, 10, 701, 534) << collection << QPoint(0, 0);
        QTest::newRow("owner at the bottom right")
            << screen << QRect(1300, 700, 600, 350) << collection << QPoint(920, 400);
        QTest::newRow("larger than the screen") << screen << QRect(500, 400, 700, 500) << QSize(2000, 1200) << QPoint(0, 0);
        QTest::newRow("second monitor, taskbar on top")
            << second << QRect(1930, 50, 701, 534) << collection << QPoint(1920, 40);
    }

    void opensOverItsOwnerInsideTheScreen()
    {
        QFETCH(QRect, available);
        QFETCH(QRect, owner);
        QFETCH(QSize, size);
        QFETCH(QPoint, placed);
        QCOMPARE(centredOver(owner, size, available), placed);
    }
};

QTEST_GUILESS_MAIN(WindowPlacementTest)
#include "tst_WindowPlacement.moc"
