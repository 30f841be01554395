#include "CorvaneIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QIcon corvaneIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);

    // Paint swatch: three stripes, the paints the player swaps between.
    p.fillRect(2, 20, 28, 4, QColor(0x80, 0x00, 0x00));
    p.fillRect(2, 24, 28, 4, QColor(0x00, 0x80, 0x00));
    p.fillRect(2, 28, 28, 3, QColor(0x00, 0x00, 0x80));

    // The aircraft: fuselage, wings and tailplane.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    QPainterPath plane;
    plane.addRect(14, 1, 4, 22);    // fuselage
    plane.addRect(2, 8, 28, 5);     // wings
    plane.addRect(9, 19, 14, 3);    // tailplane
    p.drawPath(plane.simplified());
    p.fillRect(15, 2, 2, 3, QColor(0x00, 0xFF, 0xFF)); // canopy
    p.end();

    return QIcon(pixmap);
}
