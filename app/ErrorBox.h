#pragma once

#include <QString>

class QWidget;

// The application's standard error box: a critical message with one OK.
void showErrorBox(const QString &message, QWidget *owner = nullptr);
