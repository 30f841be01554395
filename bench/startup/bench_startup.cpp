// Start-up to the main window's first paint, as the player waits for it:
// from starting the process until the window has painted. Each run starts
// this program again as a child that builds the window the way the program
// does, with settings of its own and no game; beside it, in the same run, a
// bare Qt window shows the floor of any Qt program on this machine.
//   bench_startup [RUNS]
#include "CorvaneApplication.h"
#include "CorvaneIcon.h"
#include "TAboutForm.h"
#include "TEditForm.h"
#include "TRezidu.h"
#include "UserSettings.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const char *const ChildVariable = "BENCH_STARTUP_CHILD";
const char *const StartVariable = "BENCH_STARTUP_START_NS";

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Reports once the first paint of the window has gone through the event
// loop, and ends the process there: what follows is not start-up.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                const long long start = qgetenv(StartVariable).toLongLong();
                std::printf("%.3f\n", double(nowNs() - start) / 1e6);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

int runWindow(int argc, char **argv)
{
    CorvaneApplication app(argc, argv);
    app.setWindowIcon(corvaneIcon());
    auto Rezidu = std::make_unique<TRezidu>(openUserSettings());
    Rezidu->setAboutForm(new TAboutForm(Rezidu.get()));
    Rezidu->setEditForm(new TEditForm(Rezidu.get()));
    FirstPaint firstPaint;
    Rezidu->installEventFilter(&firstPaint);
    Rezidu->show();
    return app.exec();
}

int runBare(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(701, 534);
    FirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}

struct Figures
{
    double median = 0, min = 0;
};

Figures timeChild(const QString &program, const QString &kind, int runs, const QTemporaryDir &home)
{
    std::vector<double> ms;
    for (int i = 0; i < runs + 1; ++i) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(ChildVariable, kind);
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert("WINEPREFIX", home.filePath("wine"));
        QProcess child;
        environment.insert(StartVariable, QString::number(nowNs()));
        child.setProcessEnvironment(environment);
        child.start(program, {});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            std::fprintf(stderr, "%s start-up failed: %s\n", qPrintable(kind), child.readAllStandardError().constData());
            return {-1, -1};
        }
        if (i > 0) // the first warms the disk cache
            ms.push_back(child.readAllStandardOutput().trimmed().toDouble());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray child = qgetenv(ChildVariable);
    if (child == "window")
        return runWindow(argc, argv);
    if (child == "bare")
        return runBare(argc, argv);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    const QString program = QCoreApplication::applicationFilePath();
    const Figures bare = timeChild(program, "bare", runs, home);
    const Figures window = timeChild(program, "window", runs, home);
    if (window.median < 0 || bare.median < 0)
        return 1;
    std::printf("start-up to the first paint (platform %s), medians of %d runs:\n",
                qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? qgetenv("QT_QPA_PLATFORM").constData() : "default",
                runs);
    std::printf("  main window    %7.1f ms (min %6.1f)  (target <= 150 ms: %s)\n", window.median, window.min,
                window.median <= 150 ? "met" : "MISSED");
    std::printf("  bare Qt window %7.1f ms (min %6.1f)  main window / bare: %.2f\n", bare.median, bare.min,
                window.median / bare.median);
    return 0;
}
