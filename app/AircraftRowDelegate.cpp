#include "AircraftRowDelegate.h"

#include "AircraftReview.h"
#include "CollectionModel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

namespace {
constexpr int margin = 3;
constexpr int markSide = 12;

QColor markColour(AircraftStatus::Kind kind)
{
    switch (kind) {
    case AircraftStatus::Kind::Original:
        return QColor(0x4c, 0xa0, 0x4c);
    case AircraftStatus::Kind::WearingPaint:
        return QColor(0x2f, 0x6f, 0xc0);
    case AircraftStatus::Kind::ChangedOutside:
        return QColor(0xe0, 0x9a, 0x10);
    case AircraftStatus::Kind::Problem:
        return QColor(0xc8, 0x2a, 0x2a);
    case AircraftStatus::Kind::Unknown:
        break;
    }
    return QColor(0xb0, 0xb0, 0xb0);
}

// The picture at the size it is drawn, made once per picture: reducing it
// at every redraw would cost each scroll step, and the painter's sampling
// of a picture three times the size drops most of its pixels.
QPixmap fitted(const QImage &picture, const QSize &box, qreal ratio)
{
    const QSize pixels = picture.size().scaled((QSizeF(box) * ratio).toSize(), Qt::KeepAspectRatio);
    const QString key = QStringLiteral("aircraft-row-%1-%2x%3").arg(picture.cacheKey()).arg(pixels.width()).arg(pixels.height());
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(picture.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        pixmap.setDevicePixelRatio(ratio);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}
} // namespace

void AircraftRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    painter->save();
    const QRect box = option.rect.adjusted(margin, margin, -margin, -margin);
    const QRect pictureBox(box.left(), box.top(), PictureSide, PictureSide);
    const QImage picture = index.data(Qt::DecorationRole).value<QImage>();
    if (picture.isNull()) {
        painter->fillRect(pictureBox, option.palette.color(QPalette::Midlight));
    } else {
        const QPixmap pixmap = fitted(picture, pictureBox.size(), painter->device()->devicePixelRatioF());
        QRect target(QPoint(), pixmap.deviceIndependentSize().toSize());
        target.moveCenter(pictureBox.center());
        painter->drawPixmap(target.topLeft(), pixmap);
    }

    const auto kind = AircraftStatus::Kind(index.data(CollectionModel::StatusKindRole).toInt());
    const QRect mark(box.right() - markSide, box.top() + (box.height() - markSide) / 2, markSide, markSide);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(markColour(kind));
    painter->drawEllipse(mark);

    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect text(pictureBox.right() + 2 * margin, box.top(), mark.left() - pictureBox.right() - 4 * margin,
                     box.height());
    QFont titleFont = option.font;
    titleFont.setBold(true);
    painter->setFont(titleFont);
    const QFontMetrics titleMetrics(titleFont);
    painter->drawText(text.adjusted(0, 0, 0, -text.height() / 2), Qt::AlignLeft | Qt::AlignBottom,
                      titleMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, text.width()));

    const int paints = index.data(CollectionModel::PaintCountRole).toInt();
    QString second = index.data(CollectionModel::FolderRole).toString();
    if (paints >= 0)
        second += paints == 1 ? QStringLiteral(" · 1 paint") : QStringLiteral(" · %1 paints").arg(paints);
    painter->setFont(option.font);
    painter->drawText(text.adjusted(0, text.height() / 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                      option.fontMetrics.elidedText(second, Qt::ElideRight, text.width()));
    painter->restore();
}

QSize AircraftRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return QSize(option.rect.width() > 0 ? option.rect.width() : 300, PictureSide + 2 * margin);
}
