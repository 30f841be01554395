#include "SettledSelection.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QTimer>

namespace {
// How long waiting work waits after it was last asked for: long enough for
// the key repeats queued behind a slow load to be taken first, far shorter
// than a repeat.
constexpr int settleMs = 10;
} // namespace

SettledSelection::SettledSelection(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(settleMs);
    connect(m_timer, &QTimer::timeout, this, &SettledSelection::settle);
}

void SettledSelection::watch(QAbstractItemView *list)
{
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
}

void SettledSelection::run(std::function<void()> work)
{
    if (m_keyHeld && !m_running) {
        m_waiting = std::move(work);
        m_waitingFrom = m_lastInput;
        m_timer->start();
        return;
    }
    // Newer than anything waiting: that is passed over.
    if (!m_running) {
        m_timer->stop();
        m_waiting = nullptr;
    }
    work();
}

void SettledSelection::settle()
{
    if (!m_waiting)
        return;
    if (m_busy && m_busy()) {
        m_timer->start();
        return;
    }
    m_timer->stop();
    const std::function<void()> work = std::move(m_waiting);
    m_waiting = nullptr;
    m_running = true;
    work();
    m_running = false;
}

bool SettledSelection::eventFilter(QObject *watched, QEvent *event)
{
    QObject *list = watched;
    if (auto *view = qobject_cast<QAbstractItemView *>(watched->parent()); view && view->viewport() == watched)
        list = view;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // Only a repeat of a held key; its final release is no repeat.
        m_keyHeld = static_cast<QKeyEvent *>(event)->isAutoRepeat();
        m_lastInput = list;
        break;
    case QEvent::MouseButtonPress:
        m_keyHeld = false;
        // A click in the list whose work waits makes newer work of its own,
        // or leaves the row as it is and the work runs as it would have.
        // Anywhere else it must act on what that list settled on.
        if (list != m_waitingFrom)
            settle();
        break;
    case QEvent::FocusOut:
        // A button or another list acts next: on the row the list settled on.
        m_keyHeld = false;
        if (list == m_waitingFrom)
            settle();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
