#pragma once

#include "Hangar.h"

#include <QListWidget>
#include <QListWidgetItem>

// A paint row whose tooltip is the read-me kept with its paint, read when the
// player hovers over it rather than for every row each time a list is shown.
class PaintRowItem : public QListWidgetItem
{
public:
    PaintRowItem(const QString &text, const Hangar &hangar)
        : QListWidgetItem(text)
        , m_hangar(hangar)
    {
    }

    QVariant data(int role) const override
    {
        if (role == Qt::ToolTipRole && listWidget()) {
            const QString note = m_hangar.paintNote(listWidget()->row(this));
            if (!note.isEmpty())
                return note;
        }
        return QListWidgetItem::data(role);
    }

private:
    const Hangar &m_hangar;
};
