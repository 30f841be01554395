#pragma once

#include <QObject>

#include <functional>

class QAbstractItemView;
class QTimer;

// Held down, an arrow key repeats some 30 times a second, and loading an
// aircraft's paint list or a large texture can take longer than that: each
// load would wait behind the ones before, and a list would go on moving long
// after the key was let go. So while a key repeats in a watched list, the
// list moves at once and the work asked for waits; only the last work asked
// for runs, once the repeats queued meanwhile have been taken. Rows passed on
// the way are never loaded. Any other change runs its work at once.
class SettledSelection : public QObject
{
    Q_OBJECT

public:
    explicit SettledSelection(QObject *parent = nullptr);

    void watch(QAbstractItemView *list);
    // While this answers true (a worker uses what the work reads), waiting
    // work keeps waiting.
    void setBusy(std::function<bool()> busy) { m_busy = std::move(busy); }

    // Runs the work now, or, while a key repeats, in place of any waiting.
    // Work run from waiting work runs at once.
    void run(std::function<void()> work);
    // Runs the waiting work now, if any.
    void settle();
    bool isWaiting() const { return bool(m_waiting); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTimer *m_timer = nullptr;
    std::function<void()> m_waiting;
    QObject *m_waitingFrom = nullptr;
    QObject *m_lastInput = nullptr;
    std::function<bool()> m_busy;
    bool m_keyHeld = false;
    bool m_running = false;
};
