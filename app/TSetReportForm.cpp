#include "TSetReportForm.h"

#include "ui_TSetReportForm.h"

#include <QStyle>

TSetReportForm::TSetReportForm(const QString &summary, const SetReport &report, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TSetReportForm>())
{
    ui->setupUi(this);
    ui->summary->setText(summary);
    QList<SetOutcome> ordered = report.outcomes;
    std::stable_partition(ordered.begin(), ordered.end(), [](const SetOutcome &outcome) { return outcome.isProblem(); });
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const SetOutcome &outcome : std::as_const(ordered)) {
        auto *item = new QListWidgetItem(outcome.line(), ui->outcomeList);
        if (outcome.isProblem())
            item->setIcon(warning);
    }
}

TSetReportForm::~TSetReportForm() = default;

QStringList TSetReportForm::lines() const
{
    QStringList lines;
    for (int row = 0; row < ui->outcomeList->count(); ++row)
        lines << ui->outcomeList->item(row)->text();
    return lines;
}
