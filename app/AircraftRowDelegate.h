#pragma once

#include <QStyledItemDelegate>

// One aircraft of the collection in two lines beside its picture: the title,
// then its folder and number of paints; the status mark at the right.
class AircraftRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int PictureSide = 40;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
