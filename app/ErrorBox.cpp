#include "ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

void showErrorBox(const QString &message, QWidget *owner)
{
    if (!owner)
        owner = QApplication::activeWindow();
    QMessageBox::critical(owner, QApplication::applicationName(), message);
}
