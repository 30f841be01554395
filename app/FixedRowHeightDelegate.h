#pragma once

#include <QStyledItemDelegate>

// List rows of one fixed height, whatever the font asks for.
class FixedRowHeightDelegate : public QStyledItemDelegate
{
public:
    FixedRowHeightDelegate(int height, QObject *parent)
        : QStyledItemDelegate(parent), m_height(height) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_height);
        return size;
    }

private:
    int m_height;
};
