#include "TExeButton.h"

#include "LabelFit.h"
#include "LauncherFileName.h"
#include "OwnerDraw.h"

#include "FileIcon.h"
#include "ShellOpen.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

using namespace corvane::controls;
namespace platform = corvane::platform;

namespace {

QPixmap smallCopy(const QIcon &icon)
{
    const QSize small(16, 16);
    QPixmap pixmap = icon.pixmap(small, 1.0);
    if (!pixmap.isNull() && pixmap.size() != small)
        pixmap = pixmap.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return pixmap;
}

} // namespace

TExeButton::TExeButton(QWidget *parent)
    : OwnerDrawnControl(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true); // OnMouseMove without a button held, too
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TExeButton::~TExeButton() = default;

void TExeButton::SetIcon(const QIcon &icon)
{
    m_icon = icon;
    m_smallIcon = smallCopy(m_icon);
}

void TExeButton::SetFileName(const QString &value)
{
    if (value == m_fileName)
        return;
    m_fileName = value;
    const LauncherFileName parts = splitLauncherFileName(value);
    m_fileExt = parts.extension;
    m_icon = platform::fileIcon(value);
    m_smallIcon = smallCopy(m_icon);
    m_caption = parts.caption;
    m_filePath = parts.folder;
    UpdateLayout();
}

void TExeButton::SetCaption(const QString &text)
{
    if (text == m_caption)
        return;
    m_caption = text;
    UpdateLayout();
}

void TExeButton::SetFlag(int index, bool value)
{
    switch (index) {
    case 1: m_auto = value; break;
    case 2: m_autoRun = value; break;
    case 3: m_showIcon = value; break;
    case 4: m_showLabel = value; break;
    case 5: m_largeIcon = value; break;
    case 6: m_down = value; break;
    case 7: m_border = value; break;
    default: break;
    }
    UpdateLayout();
}

void TExeButton::UpdateLayout()
{
    m_iconSize = m_largeIcon ? 32 : 16;
    if (m_auto) {
        const int h = m_iconSize + 8;
        int w = h;
        if (m_showLabel) {
            w += LabelWidth;
            if (!m_showIcon)
                w -= m_iconSize;
        }
        resize(w, h);
    }
    repaint();
}

void TExeButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor background = color();
    painter.fillRect(rect(), background);
    const int w = width();
    const int h = height();

    if (m_border || m_down) {
        const QColor light = enabledLookColor(this, QPalette::Light);
        const QColor dark = enabledLookColor(this, QPalette::Shadow);
        const QColor &first = m_down ? dark : light;
        const QColor &second = m_down ? light : dark;
        drawFrameSegment(painter, {0, h}, {0, 0}, first);
        drawFrameSegment(painter, {0, 0}, {w - 1, 0}, first);
        drawFrameSegment(painter, {w - 1, 0}, {w - 1, h - 1}, second);
        drawFrameSegment(painter, {w - 1, h - 1}, {0, h - 1}, second);
    }

    if (m_showLabel && !m_caption.isEmpty()) {
        painter.setFont(font());
        const QFontMetrics metrics(font());
        const int room = w - 8 - (m_showIcon ? m_iconSize : 0);
        const int y = (h - metrics.height()) / 2;
        FittedLabel label = fitLabel(m_caption, room,
                                     [&metrics](const QString &s) { return metrics.horizontalAdvance(s); });
        int x = label.x + (m_showIcon ? m_iconSize : 0);
        // The font's own colour is not used: labels stay in the window-text colour.
        painter.setPen(enabledLookColor(this, QPalette::WindowText));
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(background);
        painter.drawText(QPoint(x + 4, y + metrics.ascent()), label.text);
        painter.setBackgroundMode(Qt::TransparentMode);
    }

    if (m_showIcon) {
        const QRect place(IconLeft, IconTop, m_iconSize, m_iconSize);
        if (m_largeIcon) {
            const QPixmap large = m_icon.pixmap(place.size(), 1.0);
            if (!large.isNull())
                painter.drawPixmap(place, large);
        } else if (!m_smallIcon.isNull()) {
            painter.drawPixmap(place, m_smallIcon);
        }
    }
}

void TExeButton::mousePressEvent(QMouseEvent *event)
{
    reportPress(event);
    if (!pressesButton(event->button()))
        return;
    m_down = m_latch ? !m_down : true;
    repaint();
}

void TExeButton::mouseMoveEvent(QMouseEvent *event)
{
    reportMove(event);
}

void TExeButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!reportRelease(event) || !pressesButton(event->button()))
        return;
    if (!m_latch)
        m_down = false;
    repaint();
    const QPoint at = event->position().toPoint();
    const bool strictlyInside = at.x() > 0 && at.x() < width() && at.y() > 0 && at.y() < height();
    if (strictlyInside && m_autoRun)
        Launch();
}

void TExeButton::Launch()
{
    if (platform::isShortcut(m_fileName, m_fileExt)) {
        if (const auto target = platform::resolveShortcut(m_fileName, this))
            platform::startFile(target->path, target->folder, this);
        return;
    }
    platform::startFile(m_fileName, m_filePath, this);
}
