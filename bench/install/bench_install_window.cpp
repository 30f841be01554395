// The window's size around installs of a large download, driven as a player
// drives it: the plan dialog accepted, the result box closed. Its resident
// size after each install, beside its size before the first (limit +10 MiB).
//   bench_install_window [large MiB] [rounds]
// Run offscreen (QT_QPA_PLATFORM=offscreen) from a folder on a real disk.
#include "BenchDownloads.h"
#include "IniSettingsStore.h"
#include "TEditForm.h"
#include "TInstallForm.h"
#include "TRezidu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

long statusKiB(const char *field)
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(strlen(field))).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Accepts the plan and closes the box that tells what was installed; the
// progress dialogs in between are left to run.
void answerDialogs()
{
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *plan = qobject_cast<TInstallForm *>(modal)) {
            plan->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (!box->text().startsWith(QLatin1String("Installed:")))
                qFatal("the window said: %s", qPrintable(box->text()));
            box->button(QMessageBox::Ok)->click();
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int largeMiB = argc > 1 ? atoi(argv[1]) : 320;
    const int rounds = argc > 2 ? atoi(argv[2]) : 3;
    QTemporaryDir dir(QDir::currentPath() + "/bench-install-window-XXXXXX");
    const QString zip = writeLargeZip(dir.filePath("large.zip"), largeMiB, 64);
    const QString game = makeGame(dir.filePath("game"));
    const QString ini = dir.filePath("corvane.ini");
    QFile settings(ini);
    settings.open(QIODevice::WriteOnly);
    settings.write("[bench_install_window]\nCFSPath=" + game.toUtf8() + "\n");
    settings.close();
    qputenv("WINEPREFIX", dir.filePath("no-wine").toLocal8Bit());

    TRezidu window(std::make_unique<IniSettingsStore>(ini));
    window.setEditForm(new TEditForm(&window));
    window.show();
    window.Timer1Timer();
    settle();
    if (window.InList->count() != 1)
        qFatal("the game's aircraft were not found");

    const long before = statusKiB("VmRSS:");
    std::printf("window of %d aircraft shown: resident %ld MiB\n", window.InList->count(), before >> 10);
    for (int round = 1; round <= rounds; ++round) {
        answerDialogs();
        QElapsedTimer clock;
        clock.start();
        window.installDownloads({zip}, 0, QStringLiteral("Round %1").arg(round));
        settle();
        const long after = statusKiB("VmRSS:");
        std::printf("install %d of %d MiB (%.1f s): resident %ld MiB, %+ld MiB against before the first "
                    "(limit +10 MiB); peak %ld MiB\n",
                    round, largeMiB, clock.nsecsElapsed() / 1e9, after >> 10, (after - before) >> 10,
                    statusKiB("VmHWM:") >> 10);
    }
    return 0;
}
