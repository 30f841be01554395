#pragma once

#include <QApplication>

// Qt does not carry exceptions out of its event loop: an error raised in a
// handler is caught where events are delivered, shown in the error box, and
// the program goes on with the state the handler left.
class CorvaneApplication : public QApplication
{
public:
    CorvaneApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
