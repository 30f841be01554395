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

inline void answerNextOf(QWidget *(*find)(), std::function<void(QWidget *)> answer, int timeoutMs)
{
    auto *clock = new QElapsedTimer;
    clock->start();
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [find, poll, clock, answer, timeoutMs] {
        QWidget *modal = find();
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

inline void answerNext(std::function<void(QWidget *)> answer, int timeoutMs = 5000)
{
    answerNextOf(&QApplication::activeModalWidget, answer, timeoutMs);
}

// The same for the next popup: a context menu runs a loop of its own too.
inline void answerNextPopup(std::function<void(QWidget *)> answer, int timeoutMs = 5000)
{
    answerNextOf(&QApplication::activePopupWidget, answer, timeoutMs);
}

} // namespace ModalDriver
