#include "PaintPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

void drawOutlinedText(QPainter &painter, const QString &text, QFont font, const QRectF &box,
                      const QColor &fill)
{
    // Shrink until the text fits the box.
    for (;;) {
        const QFontMetricsF metrics(font);
        if (metrics.horizontalAdvance(text) <= box.width() || font.pixelSize() <= 12)
            break;
        font.setPixelSize(font.pixelSize() * 9 / 10);
    }
    const QFontMetricsF metrics(font);
    QPainterPath path;
    const qreal x = box.center().x() - metrics.horizontalAdvance(text) / 2;
    const qreal y = box.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    path.addText(QPointF(x, y), font, text);
    painter.setPen(QPen(Qt::black, qMax<qreal>(2, font.pixelSize() / 14.0), Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(path);
}

} // namespace

QImage paintTexture(const PaintLook &look, int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient shade(0, 0, 0, size);
    shade.setColorAt(0, look.base.lighter(125));
    shade.setColorAt(1, look.base.darker(135));
    painter.fillRect(image.rect(), shade);

    // A diagonal band in the accent colour.
    QPainterPath band;
    band.moveTo(0, size * 0.55);
    band.lineTo(size, size * 0.25);
    band.lineTo(size, size * 0.40);
    band.lineTo(0, size * 0.70);
    band.closeSubpath();
    painter.fillPath(band, look.accent);

    // Panel lines and rivets.
    painter.setPen(QPen(look.base.darker(170), qMax(1, size / 512)));
    const int step = size / 8;
    for (int i = step; i < size; i += step) {
        painter.drawLine(0, i, size, i);
        painter.drawLine(i, 0, i, size);
    }
    painter.setBrush(look.base.darker(150));
    painter.setPen(Qt::NoPen);
    const qreal rivet = qMax<qreal>(1.5, size / 400.0);
    for (int y = step; y < size; y += step)
        for (int x = step / 4; x < size; x += step / 4)
            painter.drawEllipse(QPointF(x, y + rivet * 3), rivet, rivet);

    // A roundel in each upper corner.
    for (const QPointF &centre : {QPointF(size * 0.15, size * 0.15), QPointF(size * 0.85, size * 0.15)}) {
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre, size * 0.09, size * 0.09);
        painter.setBrush(look.accent.darker(130));
        painter.drawEllipse(centre, size * 0.06, size * 0.06);
        painter.setBrush(look.base);
        painter.drawEllipse(centre, size * 0.03, size * 0.03);
    }

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setPixelSize(size / 7);
    drawOutlinedText(painter, look.label, title,
                     QRectF(size * 0.05, size * 0.38, size * 0.9, size * 0.24), Qt::white);

    QFont caption(QStringLiteral("DejaVu Sans"));
    caption.setPixelSize(size / 16);
    drawOutlinedText(painter, look.aircraft, caption,
                     QRectF(size * 0.28, size * 0.08, size * 0.44, size * 0.14), look.accent.lighter(150));
    drawOutlinedText(painter, look.aircraft, caption,
                     QRectF(size * 0.1, size * 0.8, size * 0.8, size * 0.12), Qt::yellow);
    return image;
}
