#pragma once

#include "InstallPlan.h"

#include <QDialog>
#include <QStringList>

#include <memory>

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace Ui {
class TInstallForm;
}

// Shows what an install would do before anything is written: each texture
// with a check box, an aircraft chooser and its paint name, and what the
// download holds that will not be installed.
class TInstallForm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int TextureColumn = 0;
    static constexpr int AircraftColumn = 1;
    static constexpr int PictureColumn = 2; // pictures: whether they are made into DDS textures
    static constexpr int NameColumn = 3;

    explicit TInstallForm(QWidget *parent = nullptr);
    ~TInstallForm() override;

    void setPlan(const InstallPlan &plan, const QStringList &aircraftTitles);
    // The plan with the player's ticks, aircraft and names.
    InstallPlan plan() const;

    QComboBox *aircraftChooser(int row) const;

    QTableWidget *PlanTable;
    QPlainTextEdit *SkippedList;
    QPushButton *InstallButton;
    QPushButton *CancelButton;

private:
    void updateInstallButton();

    std::unique_ptr<Ui::TInstallForm> ui;
    InstallPlan m_plan;
};
