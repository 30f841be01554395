#include "TInstallForm.h"
#include "ui_TInstallForm.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

TInstallForm::TInstallForm(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TInstallForm>())
{
    ui->setupUi(this);
    PlanTable = ui->PlanTable;
    SkippedList = ui->SkippedList;
    InstallButton = ui->InstallButton;
    CancelButton = ui->CancelButton;
    PlanTable->horizontalHeader()->setSectionResizeMode(TextureColumn, QHeaderView::ResizeToContents);
    PlanTable->horizontalHeader()->setSectionResizeMode(AircraftColumn, QHeaderView::ResizeToContents);
    PlanTable->horizontalHeader()->setSectionResizeMode(PictureColumn, QHeaderView::ResizeToContents);
    connect(PlanTable, &QTableWidget::itemChanged, this, &TInstallForm::updateInstallButton);
}

TInstallForm::~TInstallForm() = default;

void TInstallForm::setPlan(const InstallPlan &plan, const QStringList &aircraftTitles)
{
    m_plan = plan;
    const QSignalBlocker quiet(PlanTable);
    PlanTable->clearContents();
    PlanTable->setRowCount(int(plan.items.size()));
    for (int row = 0; row < plan.items.size(); ++row) {
        const InstallItem &item = plan.items[row];
        auto *texture = new QTableWidgetItem(item.texture.source);
        texture->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        texture->setCheckState(item.selected && item.aircraft >= 0 ? Qt::Checked : Qt::Unchecked);
        PlanTable->setItem(row, TextureColumn, texture);

        auto *chooser = new QComboBox(PlanTable);
        chooser->addItem(item.match.reason == MatchReason::Ambiguous ? QStringLiteral("(which aircraft?)")
                                                                     : QStringLiteral("(no aircraft)"),
                         -1);
        for (int i = 0; i < aircraftTitles.size(); ++i)
            chooser->addItem(aircraftTitles[i], i);
        chooser->setCurrentIndex(chooser->findData(item.aircraft));
        // Picking an aircraft is the player's yes to that texture.
        connect(chooser, &QComboBox::currentIndexChanged, this, [this, texture, chooser] {
            texture->setCheckState(chooser->currentData().toInt() >= 0 ? Qt::Checked : Qt::Unchecked);
            updateInstallButton();
        });
        PlanTable->setCellWidget(row, AircraftColumn, chooser);

        auto *picture = new QTableWidgetItem;
        picture->setFlags(Qt::ItemIsEnabled);
        if (PictureTexture::isPicture(item.texture.fileName)) {
            picture->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            picture->setCheckState(item.makeDds ? Qt::Checked : Qt::Unchecked);
            picture->setText(item.pictureProblem.isEmpty() ? QStringLiteral("make DDS") : QStringLiteral("cannot make DDS"));
            picture->setToolTip(describePicture(item));
        }
        PlanTable->setItem(row, PictureColumn, picture);

        PlanTable->setItem(row, NameColumn, new QTableWidgetItem(item.paintName));
    }

    QStringList notInstalled;
    for (const PaintResult &refusal : plan.refused)
        notInstalled.append(refusal.line());
    for (const SkippedEntry &skipped : plan.skipped)
        notInstalled.append(QStringLiteral("%1: %2").arg(skipped.source, skipped.reason));
    SkippedList->setPlainText(notInstalled.join(u'\n'));
    updateInstallButton();
}

QComboBox *TInstallForm::aircraftChooser(int row) const
{
    return qobject_cast<QComboBox *>(PlanTable->cellWidget(row, AircraftColumn));
}

InstallPlan TInstallForm::plan() const
{
    InstallPlan chosen = m_plan;
    for (int row = 0; row < chosen.items.size(); ++row) {
        InstallItem &item = chosen.items[row];
        item.aircraft = aircraftChooser(row)->currentData().toInt();
        item.selected = PlanTable->item(row, TextureColumn)->checkState() == Qt::Checked && item.aircraft >= 0;
        item.paintName = PlanTable->item(row, NameColumn)->text();
        if (PictureTexture::isPicture(item.texture.fileName))
            item.makeDds = PlanTable->item(row, PictureColumn)->checkState() == Qt::Checked;
    }
    return chosen;
}

void TInstallForm::updateInstallButton()
{
    InstallButton->setEnabled(plan().hasSelection());
}
