#include "TEditForm.h"
#include "ui_TEditForm.h"

#include <QKeyEvent>

TEditForm::TEditForm(QWidget *mainWindow)
    : QDialog(mainWindow)
    , ui(std::make_unique<Ui::TEditForm>())
    , m_mainWindow(mainWindow)
{
    ui->setupUi(this);
    Panel1 = ui->Panel1;
    Edit1 = ui->Edit1;
    Button5 = ui->Button5;
    Button6 = ui->Button6;
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    connect(Button5, &QPushButton::clicked, this, &TEditForm::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TEditForm::Button6Click);
}

TEditForm::~TEditForm() = default;

void TEditForm::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TEditForm::FormShow()
{
    if (m_mainWindow)
        move(m_mainWindow->pos() + QPoint(10, 320));
    OkPressed = 0;
}

void TEditForm::Button5Click()
{
    OkPressed = 1;
    close();
}

void TEditForm::Button6Click()
{
    close();
}

void TEditForm::keyPressEvent(QKeyEvent *event)
{
    // Neither button is the default or the cancel button: Enter and Escape
    // must not end the dialog, or a name half typed would be taken or lost.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
