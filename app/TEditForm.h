#pragma once

#include <QDialog>

#include <memory>

class QFrame;
class QLineEdit;
class QPushButton;

namespace Ui {
class TEditForm;
}

// Asks the player for one line of text, the name of a new paint. The caller
// fills Edit1, shows the dialog modally and reads OkPressed and Edit1.
class TEditForm : public QDialog
{
    Q_OBJECT

public:
    // The dialog places itself relative to the main window at every show.
    explicit TEditForm(QWidget *mainWindow);
    ~TEditForm() override;

    QFrame *Panel1;
    QLineEdit *Edit1;
    QPushButton *Button5;
    QPushButton *Button6;
    int OkPressed = 0;

public slots:
    void Button5Click();
    void Button6Click();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void FormShow();

private:
    std::unique_ptr<Ui::TEditForm> ui;
    QWidget *m_mainWindow;
};
