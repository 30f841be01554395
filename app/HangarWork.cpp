#include "HangarWork.h"

#include "SectionName.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

constexpr int ShowAfterMs = 500;

} // namespace

void runHangarWork(QWidget *parent, const QString &label, WorkProgress &progress, const QString &stopping,
                   const std::function<void()> &work)
{
    QProgressDialog dialog(label, QStringLiteral("Cancel"), 0, 0, parent);
    dialog.setWindowTitle(SectionName);
    // Modal for every window: the main window and the collection both draw
    // the hangar the worker is changing.
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(ShowAfterMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    // The dialog shows itself once the work outlasts the minimum duration.
    dialog.setValue(0);

    QProgressDialog *shown = &dialog;
    WorkProgress *reported = &progress;
    // Called on the worker: the dialog is updated on its own thread, and an
    // update still queued when the dialog is gone is dropped with it.
    progress.report = [shown, reported, label](int done, int total, const QString &current) {
        QMetaObject::invokeMethod(shown, [shown, reported, label, done, total, current] {
            if (reported->isCancelled())
                return;
            shown->setMaximum(total);
            shown->setValue(total > 0 ? done : 0);
            shown->setLabelText(current.isEmpty() ? label : label + u'\n' + current);
        }, Qt::QueuedConnection);
    };
    // Cancelled, the dialog stays until the worker has stopped: hidden, it
    // would let the player reach the hangar the worker still uses.
    QObject::disconnect(&dialog, SIGNAL(canceled()), &dialog, SLOT(cancel()));
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&dialog, &progress, stopping] {
        progress.cancelled = true;
        dialog.setLabelText(stopping);
    });

    std::atomic<bool> ended{false};
    std::unique_ptr<QThread> worker(QThread::create([&work, &ended] {
        work();
        ended = true;
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    // Until the dialog is there to block it, the player's input waits.
    QTimer::singleShot(ShowAfterMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!ended) {
        if (!dialog.isVisible())
            dialog.show();
        loop.exec();
    }
    worker->wait();
    progress.report = nullptr;
}
