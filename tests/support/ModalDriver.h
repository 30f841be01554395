#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal window the code under test opens. The answer runs
// from the event loop that the modal window spins, the way a player's click
// would arrive; it gives up after a few seconds so a missing dialog fails the
// test instead of hanging it.
namespace ModalDriver {

inline void answerNext(std::function<void(QWidget *)> answer, int timeoutMs = 5000)
{
    auto *clock = new QElapsedTimer;
    clock->start();
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, clock, answer, timeoutMs] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal && clock->elapsed() < timeoutMs)
            return;
        poll->stop();
        poll->deleteLater();
        delete clock;
        if (modal)
            answer(modal);
    });
    poll->start();
}

} // namespace ModalDriver
