#include "TMButton.h"

#include "MouseSend.h"

#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

const QColor Light(255, 0, 0), Dark(0, 0, 255), Back(0, 255, 0), Picture(255, 0, 255);

// Pixels of a 49 x 41 frame and the half-edge (0..7) that owns each: the
// middle of every half-edge, then corners and the points where halves meet.
const QList<QPair<QPoint, int>> framePixels{
    {{0, 30}, 0}, {{0, 10}, 1}, {{12, 0}, 2}, {{36, 0}, 3}, {{48, 10}, 4}, {{48, 30}, 5}, {{36, 40}, 6},
    {{12, 40}, 7}, {{0, 40}, 0}, {{0, 21}, 0}, {{0, 20}, 1}, {{0, 0}, 2}, {{23, 0}, 2}, {{24, 0}, 3},
    {{48, 0}, 4}, {{48, 19}, 4}, {{48, 20}, 5}, {{48, 40}, 6}, {{25, 40}, 6}, {{24, 40}, 7}, {{1, 40}, 7},
};

// Tones as L, D or B per half-edge, read from the grabbed image.
QString frameTones(const QImage &image)
{
    QString tones;
    for (const auto &[pixel, segment] : framePixels) {
        const QColor c = image.pixelColor(pixel);
        tones += c == Light ? u'L' : c == Dark ? u'D' : c == Back ? u'B' : u'?';
    }
    return tones;
}

// The same for tones given per half-edge, spread over every checked pixel.
QString expectedTones(const QString &perSegment)
{
    QString tones;
    for (const auto &[pixel, segment] : framePixels)
        tones += perSegment[segment];
    return tones;
}

QPixmap solid(QSize size)
{
    QPixmap picture(size);
    picture.fill(Picture);
    return picture;
}

} // namespace

class TstMButton : public QObject
{
    Q_OBJECT

    QWidget *host = nullptr;

    TMButton *makeButton(QSize size = QSize(49, 41))
    {
        auto *button = new TMButton(host);
        button->setGeometry(QRect(QPoint(20, 20), size));
        button->setColorLight(Light);
        button->setColorDark(Dark);
        button->setColor(Back);
        button->show();
        return button;
    }
    static QImage image(QWidget *w) { return w->grab().toImage(); }

private slots:
    void init()
    {
        host = new QWidget;
        host->setGeometry(100, 100, 300, 200);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
    }
    void cleanup() { delete host; }

    void frameFollowsState_data()
    {
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("border");
        QTest::addColumn<QString>("tones");
        QTest::newRow("up") << false << true << "LLLLDDDD";
        QTest::newRow("down") << true << true << "DDDDLLLL";
        QTest::newRow("flat when borderless and up") << false << false << "BBBBBBBB";
        QTest::newRow("sunken when borderless and down") << true << false << "DDDDLLLL";
    }
    void frameFollowsState()
    {
        QFETCH(bool, down);
        QFETCH(bool, border);
        QFETCH(QString, tones);
        TMButton *button = makeButton();
        button->setBorder(border);
        button->setDown(down);
        QCOMPARE(frameTones(image(button)), expectedTones(tones));
    }

    void rockerHalves_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("tones");
        QTest::addColumn<bool>("clickLeft");
        QTest::newRow("x 23 presses the left half") << 23 << "DDDLDDDL" << true;
        QTest::newRow("x 24, the middle, presses the right half") << 24 << "LLLDLLLD" << false;
    }
    void rockerHalves()
    {
        QFETCH(int, x);
        QFETCH(QString, tones);
        QFETCH(bool, clickLeft);
        TMButton *button = makeButton();
        button->setRockerLR(true);
        MouseSend::press(button, {x, 20});
        QCOMPARE(frameTones(image(button)), expectedTones(tones));
        QCOMPARE(button->clickLeft(), clickLeft);
    }

    void pictureRectangle()
    {
        // Stretched: a square of side height - 6 at (2, 2), whatever the width.
        TMButton *wide = makeButton(QSize(100, 40));
        wide->SetBitmap(solid(QSize(8, 8)));
        QImage img = image(wide);
        QCOMPARE(img.pixelColor(2, 2), Picture);
        QCOMPARE(img.pixelColor(35, 35), Picture);
        QCOMPARE(img.pixelColor(36, 20), Back);
        QCOMPARE(img.pixelColor(20, 36), Back);
        QCOMPARE(img.pixelColor(1, 1), Back);

        TMButton *centred = makeButton();
        centred->setStretch(false);
        centred->SetBitmap(solid(QSize(40, 32)));
        img = image(centred);
        QCOMPARE(img.pixelColor(4, 4), Picture);
        QCOMPARE(img.pixelColor(43, 35), Picture);
        QCOMPARE(img.pixelColor(3, 3), Back);
        QCOMPARE(img.pixelColor(44, 36), Back);

        // Bigger than the button: negative offsets, clipped on every side.
        centred->SetBitmap(solid(QSize(60, 50)));
        img = image(centred);
        QCOMPARE(img.pixelColor(0, 0), Picture);
        QCOMPARE(img.pixelColor(48, 40), Picture);
    }

    void hoverCapturesAndDrawsRaisedFrameOnce()
    {
        TMButton *button = makeButton();
        button->setBorder(false);
        QSignalSpy moves(button, &TMButton::OnMouseMove);
        MouseSend::move(button, {10, 10});
        QVERIFY(button->isTracking());
        QCOMPARE(QWidget::mouseGrabber(), button);
        QCOMPARE(moves.count(), 1);

        // The raised frame painted on entry is what the screen shows, but any
        // later paint is flat again.
        const QPoint at = button->mapTo(host, QPoint(0, 0));
        const QImage onScreen = host->screen()->grabWindow(host->winId(), at.x(), at.y(), 49, 41).toImage();
        QCOMPARE(frameTones(onScreen), expectedTones("LLLLDDDD"));
        QCOMPARE(frameTones(image(button)), expectedTones("BBBBBBBB"));

        MouseSend::move(button, {49, 41}); // the edge lines still count as inside
        QVERIFY(button->isTracking());
        MouseSend::move(button, {50, 10});
        QVERIFY(!button->isTracking());
        QVERIFY(QWidget::mouseGrabber() != button);
        QCOMPARE(moves.count(), 2); // the move out is not reported

        button->setHighlight(false);
        MouseSend::move(button, {10, 10});
        QVERIFY(!button->isTracking());
        QCOMPARE(moves.count(), 3);
    }

    void hidingReleasesTheCapture()
    {
        TMButton *button = makeButton();
        MouseSend::move(button, {10, 10});
        QCOMPARE(QWidget::mouseGrabber(), button);
        button->hide();
        QVERIFY(!button->isTracking());
        QVERIFY(QWidget::mouseGrabber() != button);
    }

    void mouseButtons()
    {
        TMButton *button = makeButton();
        QSignalSpy downs(button, &TMButton::OnMouseDown);
        QSignalSpy ups(button, &TMButton::OnMouseUp);
        QSignalSpy clicks(button, &TMButton::OnClick);

        MouseSend::move(button, {10, 10});
        MouseSend::click(button, {10, 10}, Qt::RightButton);
        QCOMPARE(downs.count(), 1);
        QCOMPARE(ups.count(), 1);
        QVERIFY(!button->down());
        QVERIFY(button->isTracking()); // the right button leaves the capture alone

        MouseSend::press(button, {10, 10}, Qt::MiddleButton);
        QVERIFY(button->down());
        MouseSend::release(button, {10, 10}, Qt::MiddleButton);
        QVERIFY(!button->down());
        QVERIFY(!button->isTracking());
        QCOMPARE(clicks.count(), 0);

        button->setLatch(true);
        MouseSend::click(button, {10, 10});
        QVERIFY(button->down());
        QCOMPARE(clicks.count(), 1);
        MouseSend::press(button, {10, 10});
        QVERIFY(!button->down());
    }

    void clickRunsWhileDrawnPressed()
    {
        TMButton *button = makeButton();
        QColor leftEdgeDuringClick;
        connect(button, &TMButton::OnClick, this, [&] { leftEdgeDuringClick = image(button).pixelColor(0, 10); });
        MouseSend::click(button, {10, 10});
        QCOMPARE(leftEdgeDuringClick, Dark);
        QCOMPARE(image(button).pixelColor(0, 10), Light);
    }

    void releaseOutsideAfterDragPopsTheButtonUp()
    {
        TMButton *button = makeButton();
        QSignalSpy clicks(button, &TMButton::OnClick);
        MouseSend::move(button, {10, 10});
        MouseSend::press(button, {10, 10});
        MouseSend::move(button, {90, 10}, Qt::LeftButton);
        QVERIFY(button->isTracking()); // held: the capture stays
        MouseSend::release(button, {90, 10});
        QVERIFY(!button->down());
        QVERIFY(!button->isTracking());
        QCOMPARE(clicks.count(), 0);
    }

    void dropDownMenuOpensUnderTheButton()
    {
        TMButton *button = makeButton();
        button->setLatch(true);
        QMenu menu;
        menu.addAction(QStringLiteral("One"));
        button->setDropDownMenu(&menu);

        QPoint menuAt(-1, -1);
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                menuAt = popup->pos();
                popup->close();
            }
        });
        poll.start(10);
        MouseSend::move(button, {10, 10});
        MouseSend::press(button, {10, 10});

        QCOMPARE(menuAt, button->mapToGlobal(QPoint(0, button->height())));
        QVERIFY(!button->down()); // up again, latch or not
        QVERIFY(!button->isTracking());
        QCOMPARE(frameTones(image(button)), expectedTones("LLLLDDDD"));
    }

    void disabledLooksTheSameAndIgnoresTheMouse()
    {
        TMButton *button = makeButton();
        button->resetColorLight();
        QPalette p = button->palette();
        p.setColor(QPalette::Disabled, QPalette::Window, Qt::yellow);
        p.setColor(QPalette::Disabled, QPalette::Light, Qt::cyan);
        button->setPalette(p);
        button->setDown(true);
        const QImage enabledLook = image(button);
        button->setEnabled(false);
        QCOMPARE(image(button), enabledLook);

        QSignalSpy downs(button, &TMButton::OnMouseDown);
        MouseSend::click(button, {10, 10});
        QVERIFY(button->down());
        QCOMPARE(downs.count(), 0);
    }
};

QTEST_MAIN(TstMButton)
#include "tst_MButton.moc"
