#pragma once

#include "PaintSet.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TSetReportForm;
}

// The one list a paint set operation reports: a line per aircraft, the
// problems first so they are never scrolled past.
class TSetReportForm : public QDialog
{
    Q_OBJECT

public:
    TSetReportForm(const QString &summary, const SetReport &report, QWidget *parent);
    ~TSetReportForm() override;

    QStringList lines() const;

private:
    std::unique_ptr<Ui::TSetReportForm> ui;
};
