#include "TMButton.h"

#include "MButtonLook.h"
#include "OwnerDraw.h"

#include <QMouseEvent>
#include <QPainter>

using namespace corvane::controls;

namespace {

} // namespace

TMButton::TMButton(QWidget *parent)
    : OwnerDrawnControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // Hover tracking needs moves without a button held.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TMButton::~TMButton()
{
    if (m_tracking)
        releaseMouse();
}

void TMButton::SetBitmap(const QPixmap &picture)
{
    m_bitmap = picture;
    Changed();
}

QColor TMButton::colorDark() const
{
    return m_colorDark ? *m_colorDark : enabledLookColor(this, QPalette::Shadow);
}

QColor TMButton::colorLight() const
{
    return m_colorLight ? *m_colorLight : enabledLookColor(this, QPalette::Light);
}

void TMButton::SetFlag(int index, bool value)
{
    switch (index) {
    case 1: m_latch = value; break;
    case 2: m_down = value; break;
    case 3: m_border = value; break;
    case 5: m_stretch = value; break;
    case 6: m_rockerLR = value; break;
    case 7: m_rockerUD = value; break;
    case 8: m_highlight = value; break;
    default: break;
    }
    Changed();
}

void TMButton::Changed()
{
    repaint();
}

void TMButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor background = color();
    painter.fillRect(rect(), background);

    const MButtonFrame frame = mbuttonFrame({size(), m_pressX, m_down, m_rockerLR, m_border, m_hotPaint});
    if (frame.clickLeft)
        m_clickLeft = *frame.clickLeft;

    const QColor light = colorLight();
    const QColor dark = colorDark();
    const auto segments = mbuttonFrameSegments(size());
    for (int i = 0; i < 8; ++i) {
        const QColor &tone = frame.tones[i] == FrameTone::Light ? light
                             : frame.tones[i] == FrameTone::Dark ? dark
                                                                 : background;
        drawFrameSegment(painter, segments[i].first, segments[i].second, tone);
    }

    if (m_bitmap.isNull())
        return;
    const QRect target = mbuttonPictureRect(size(), m_bitmap.deviceIndependentSize().toSize(), m_stretch);
    if (m_stretch)
        painter.drawPixmap(target, m_bitmap);
    else
        painter.drawPixmap(target.topLeft(), m_bitmap);
}

void TMButton::mousePressEvent(QMouseEvent *event)
{
    reportPress(event);
    m_pressX = event->position().toPoint().x();
    if (!pressesButton(event->button()))
        return;

    m_down = m_latch ? !m_down : true;
    Changed();

    if (m_dropDownMenu && m_down) {
        QPointer<TMButton> alive(this);
        m_dropDownMenu->exec(mapToGlobal(QPoint(0, height())));
        if (!alive)
            return;
        // The menu took the release, so no click follows this press.
        forgetPress();
        m_down = false;
        stopTracking();
        Changed();
    }
}

void TMButton::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (!m_highlight) {
        reportMove(event);
        return;
    }
    if (!m_tracking) {
        startTracking();
        m_hotPaint = true;
        Changed();
        m_hotPaint = false;
    }
    // A point on the right or bottom edge line (x == width) still counts as inside.
    const bool outside = at.x() < 0 || at.y() < 0 || at.x() > width() || at.y() > height();
    // While a pressing button is held the capture stays, so the release is
    // seen wherever it happens and the button does not stay stuck down.
    const bool held = event->buttons() & (Qt::LeftButton | Qt::MiddleButton);
    if (outside && !held) {
        stopTracking();
        Changed();
        return;
    }
    reportMove(event);
}

void TMButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!reportRelease(event) || !pressesButton(event->button()))
        return;
    if (!m_latch)
        m_down = false;
    stopTracking();
    Changed();
}

void TMButton::hideEvent(QHideEvent *event)
{
    // A hidden control must not keep the capture, or the rest of the
    // program would stop receiving the mouse.
    stopTracking();
    QWidget::hideEvent(event);
}

void TMButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        stopTracking();
    QWidget::changeEvent(event);
}

void TMButton::startTracking()
{
    grabMouse();
    m_tracking = true;
}

void TMButton::stopTracking()
{
    if (m_tracking && QWidget::mouseGrabber() == this)
        releaseMouse();
    m_tracking = false;
}
