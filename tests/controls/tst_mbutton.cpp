#include "TMButton.h"

#include "MouseSend.h"

#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

const QColor Light(255, 0, 0);
const QColor Dark(0, 0, 255);
const QColor Back(0, 255, 0);
const QColor Picture(255, 0, 255);

class CountingMButton : public TMButton
{
public:
    using TMButton::TMButton;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        TMButton::paintEvent(event);
    }
};

QColor toneColor(QChar tone)
{
    return tone == u'L' ? Light : tone == u'D' ? Dark : Back;
}

// Pixels of a 49 x 41 frame and the half-edge (0..7) that owns each: the
// middle of every half-edge, then the corners and the points where halves meet.
const QList<QPair<QPoint, int>> &framePixels()
{
    static const QList<QPair<QPoint, int>> pixels{
        {{0, 30}, 0}, {{0, 10}, 1}, {{12, 0}, 2}, {{36, 0}, 3},
        {{48, 10}, 4}, {{48, 30}, 5}, {{36, 40}, 6}, {{12, 40}, 7},
        {{0, 40}, 0}, {{0, 21}, 0}, {{0, 20}, 1}, {{0, 0}, 2}, {{23, 0}, 2}, {{24, 0}, 3},
        {{48, 0}, 4}, {{48, 19}, 4}, {{48, 20}, 5}, {{48, 40}, 6}, {{25, 40}, 6}, {{24, 40}, 7}, {{1, 40}, 7},
    };
    return pixels;
}

QString frameTones(const QImage &image)
{
    // Reads the tones back in half-edge order, from the middle pixels.
    QString tones;
    for (int i = 0; i < 8; ++i) {
        const QColor c = image.pixelColor(framePixels()[i].first);
        tones += c == Light ? u'L' : c == Dark ? u'D' : c == Back ? u'B' : u'?';
    }
    return tones;
}

void verifyFrame(const QImage &image, const QString &tones)
{
    for (const auto &[pixel, segment] : framePixels()) {
        QVERIFY2(image.pixelColor(pixel) == toneColor(tones[segment]),
                 qPrintable(QStringLiteral("pixel (%1, %2): expected %3, frame reads %4")
                                .arg(pixel.x()).arg(pixel.y()).arg(tones).arg(frameTones(image))));
    }
}

QPixmap solidPicture(QSize size)
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

    template <typename Button = TMButton>
    Button *makeButton(QSize size = QSize(49, 41))
    {
        auto *button = new Button(host);
        button->setGeometry(QRect(QPoint(20, 20), size));
        button->setColorLight(Light);
        button->setColorDark(Dark);
        button->setColor(Back);
        button->show();
        return button;
    }

    QImage image(QWidget *w) { return w->grab().toImage(); }

private slots:
    void init()
    {
        host = new QWidget;
        host->setGeometry(100, 100, 300, 200);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
    }
    void cleanup()
    {
        delete host;
        host = nullptr;
    }

    void defaultsMatchThePublishedOnes()
    {
        TMButton button;
        QCOMPARE(button.property("Highlight").toBool(), true);
        QCOMPARE(button.property("Border").toBool(), true);
        QCOMPARE(button.property("Stretch").toBool(), true);
        QCOMPARE(button.property("Latch").toBool(), false);
        QCOMPARE(button.property("Down").toBool(), false);
        QCOMPARE(button.property("RockerLR").toBool(), false);
        QCOMPARE(button.property("RockerUD").toBool(), false);
        QCOMPARE(button.property("ClickLeft").toBool(), false);
        QCOMPARE(button.colorDark(), button.palette().color(QPalette::Active, QPalette::Shadow));
        QCOMPARE(button.colorLight(), button.palette().color(QPalette::Active, QPalette::Light));
        QCOMPARE(button.focusPolicy(), Qt::NoFocus);
        QVERIFY(button.setProperty("Border", false));
        QCOMPARE(button.border(), false);
    }

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
        verifyFrame(image(button), tones);
    }

    void rockerHalves_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("tones");
        QTest::addColumn<bool>("clickLeft");
        QTest::newRow("x 23 presses the left half") << 23 << "DDDLDDDL" << true;
        QTest::newRow("x 24, the middle, presses the right half") << 24 << "LLLDLLLD" << false;
        QTest::newRow("x 0") << 0 << "DDDLDDDL" << true;
        QTest::newRow("x 48") << 48 << "LLLDLLLD" << false;
    }
    void rockerHalves()
    {
        QFETCH(int, x);
        QFETCH(QString, tones);
        QFETCH(bool, clickLeft);
        TMButton *button = makeButton();
        button->setRockerLR(true);
        MouseSend::press(button, {x, 20});
        QVERIFY(button->down());
        verifyFrame(image(button), tones);
        QCOMPARE(button->clickLeft(), clickLeft);
    }

    void rockerLeavesClickLeftAloneOutsideRockerStates()
    {
        TMButton *button = makeButton();
        button->setRockerLR(true);
        MouseSend::press(button, {5, 20});
        QCOMPARE(button->clickLeft(), true);
        MouseSend::release(button, {5, 20});
        button->setRockerLR(false);
        MouseSend::press(button, {40, 20});
        QCOMPARE(button->clickLeft(), true);
    }

    void pictureRectangle()
    {
        TMButton *square = makeButton(QSize(40, 40));
        square->SetBitmap(solidPicture(QSize(8, 8)));
        QImage img = image(square);
        QCOMPARE(img.pixelColor(2, 2), Picture);
        QCOMPARE(img.pixelColor(35, 35), Picture);
        QVERIFY(img.pixelColor(36, 36) != Picture);
        QVERIFY(img.pixelColor(1, 1) != Picture);
        QCOMPARE(img.pixelColor(0, 10), Light);

        // The stretched square follows the height, not the width.
        TMButton *wide = makeButton(QSize(100, 40));
        wide->SetBitmap(solidPicture(QSize(8, 8)));
        img = image(wide);
        QCOMPARE(img.pixelColor(35, 20), Picture);
        QCOMPARE(img.pixelColor(36, 20), Back);
        QCOMPARE(img.pixelColor(70, 20), Back);

        TMButton *centred = makeButton();
        centred->setStretch(false);
        centred->SetBitmap(solidPicture(QSize(40, 32)));
        img = image(centred);
        QCOMPARE(img.pixelColor(4, 4), Picture);
        QCOMPARE(img.pixelColor(43, 35), Picture);
        QCOMPARE(img.pixelColor(3, 4), Back);
        QCOMPARE(img.pixelColor(4, 3), Back);
        QCOMPARE(img.pixelColor(44, 35), Back);
        QCOMPARE(img.pixelColor(43, 36), Back);

        // Bigger than the button: negative offsets, clipped on every side,
        // and drawn over the frame.
        TMButton *clipped = makeButton();
        clipped->setStretch(false);
        clipped->SetBitmap(solidPicture(QSize(60, 50)));
        img = image(clipped);
        QCOMPARE(img.pixelColor(0, 0), Picture);
        QCOMPARE(img.pixelColor(48, 40), Picture);
    }

    void emptyPictureEmptiesTheButton()
    {
        TMButton *button = makeButton();
        button->SetBitmap(solidPicture(QSize(8, 8)));
        button->SetBitmap(QPixmap());
        QVERIFY(button->bitmap().isNull());
        QCOMPARE(image(button).pixelColor(10, 10), Back);
    }

    void hoverCapturesAndDrawsRaisedFrameOnce()
    {
        TMButton *button = makeButton();
        button->setBorder(false);
        verifyFrame(image(button), "BBBBBBBB");

        QSignalSpy moves(button, &TMButton::OnMouseMove);
        MouseSend::move(button, {10, 10});
        QVERIFY(button->isTracking());
        QCOMPARE(QWidget::mouseGrabber(), button);
        QCOMPARE(moves.count(), 1);

        // The raised frame was painted once, on entry, and is what the
        // screen shows now...
        const QPoint origin = button->mapTo(host, QPoint(0, 0));
        const QImage onScreen =
            host->screen()->grabWindow(host->winId(), origin.x(), origin.y(), 49, 41).toImage();
        verifyFrame(onScreen, "LLLLDDDD");
        // ...but any later paint is flat again.
        verifyFrame(image(button), "BBBBBBBB");

        // The right and bottom edge lines still count as inside.
        MouseSend::move(button, {49, 41});
        QVERIFY(button->isTracking());
        QCOMPARE(moves.count(), 2);

        MouseSend::move(button, {50, 10});
        QVERIFY(!button->isTracking());
        QVERIFY(QWidget::mouseGrabber() != button);
        QCOMPARE(moves.count(), 2);

        // A first move that lands outside starts and ends tracking at once.
        MouseSend::move(button, {10, -1});
        QVERIFY(!button->isTracking());
        QVERIFY(QWidget::mouseGrabber() != button);
        QCOMPARE(moves.count(), 2);
    }

    void withoutHighlightThereIsNoCapture()
    {
        TMButton *button = makeButton();
        button->setBorder(false);
        button->setHighlight(false);
        QSignalSpy moves(button, &TMButton::OnMouseMove);
        MouseSend::move(button, {10, 10});
        MouseSend::move(button, {80, 10});
        QVERIFY(!button->isTracking());
        QVERIFY(QWidget::mouseGrabber() != button);
        QCOMPARE(moves.count(), 2);

        // A borderless button then shows a frame only while down.
        MouseSend::press(button, {10, 10});
        verifyFrame(image(button), "DDDDLLLL");
        MouseSend::release(button, {10, 10});
        verifyFrame(image(button), "BBBBBBBB");
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
        MouseSend::press(button, {10, 10}, Qt::RightButton);
        QVERIFY(!button->down());
        MouseSend::release(button, {10, 10}, Qt::RightButton);
        QCOMPARE(downs.count(), 1);
        QCOMPARE(ups.count(), 1);
        QCOMPARE(downs.first().at(0).value<Qt::MouseButton>(), Qt::RightButton);
        QVERIFY(button->isTracking()); // the right button leaves the capture alone
        QCOMPARE(clicks.count(), 0);

        MouseSend::press(button, {10, 10}, Qt::MiddleButton);
        QVERIFY(button->down());
        MouseSend::release(button, {10, 10}, Qt::MiddleButton);
        QVERIFY(!button->down());
        QVERIFY(!button->isTracking());
        QCOMPARE(clicks.count(), 0);

        MouseSend::click(button, {10, 10});
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(downs.count(), 3);
        QCOMPARE(ups.count(), 3);
    }

    void clickRunsWhileDrawnPressed()
    {
        TMButton *button = makeButton();
        bool downDuringClick = false;
        QColor leftEdgeDuringClick;
        connect(button, &TMButton::OnClick, this, [&] {
            downDuringClick = button->down();
            leftEdgeDuringClick = image(button).pixelColor(0, 10);
        });
        MouseSend::click(button, {10, 10});
        QVERIFY(downDuringClick);
        QCOMPARE(leftEdgeDuringClick, Dark);
        QVERIFY(!button->down());
        QCOMPARE(image(button).pixelColor(0, 10), Light);
    }

    void latchTogglesOnPress()
    {
        TMButton *button = makeButton();
        button->setLatch(true);
        MouseSend::click(button, {10, 10});
        QVERIFY(button->down());
        MouseSend::press(button, {10, 10});
        QVERIFY(!button->down());
        MouseSend::release(button, {10, 10});
        QVERIFY(!button->down());
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
        bool downWhileOpen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                menuAt = popup->pos();
                downWhileOpen = button->down();
                popup->close();
            }
        });
        poll.start(10);
        MouseSend::move(button, {10, 10});
        MouseSend::press(button, {10, 10});
        poll.stop();

        QCOMPARE(menuAt, button->mapToGlobal(QPoint(0, button->height())));
        QVERIFY(downWhileOpen);
        QVERIFY(!button->down()); // up again, latch or not
        QVERIFY(!button->isTracking());
        verifyFrame(image(button), "LLLLDDDD");
    }

    void disabledLooksTheSameAndIgnoresTheMouse()
    {
        TMButton *button = makeButton();
        button->SetBitmap(solidPicture(QSize(8, 8)));
        button->resetColorLight();
        button->resetColorDark();
        QPalette p = button->palette();
        p.setColor(QPalette::Disabled, QPalette::Window, Qt::yellow);
        p.setColor(QPalette::Disabled, QPalette::Light, Qt::cyan);
        p.setColor(QPalette::Disabled, QPalette::Shadow, Qt::darkYellow);
        button->setPalette(p);
        button->setDown(true);
        const QImage enabledLook = image(button);
        button->setEnabled(false);
        QCOMPARE(image(button), enabledLook);

        QSignalSpy downs(button, &TMButton::OnMouseDown);
        MouseSend::click(button, {10, 10});
        MouseSend::move(button, {12, 12});
        QVERIFY(button->down());
        QVERIFY(!button->isTracking());
        QCOMPARE(downs.count(), 0);
    }

    void everyFlagWriteRepaintsAtOnce()
    {
        auto *button = makeButton<CountingMButton>();
        QTest::qWait(20);
        int before = button->paints;
        button->setDown(false);
        button->setDown(false);
        QCOMPARE(button->paints, before + 2);
        button->SetFlag(4, true); // names no property: only repaints
        QCOMPARE(button->paints, before + 3);
        QCOMPARE(button->down(), false);
        QCOMPARE(button->latch(), false);

        before = button->paints;
        button->setColorDark(Qt::black);
        QCOMPARE(button->paints, before);
    }
};

QTEST_MAIN(TstMButton)
#include "tst_mbutton.moc"
