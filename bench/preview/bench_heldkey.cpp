// A player holding Down in the paint list of an aircraft with 40 paints of
// 4096 x 4096 DXT5 without mipmaps, read from disk: key presses arrive at
// 30 a second from another thread, queueing while the window is busy as a
// window system's would. Measures how long the list goes on moving after the
// key is let go, and when the preview shows the row it stopped on; once with
// the presses marked as repeats (a held key), and once, in the same run,
// unmarked (each press loads its preview at once, as every press did before
// held keys were told apart).
//
//   bench_heldkey TEXTURE FOLDER [PRESSES] [aircraft]
//
// TEXTURE is copied to 41 files under FOLDER (about 650 MiB for a 4096²
// DXT5): each row its own file, so each comes from disk. The page cache is
// emptied for them before each hold (posix_fadvise, Linux).
//
// With "aircraft", Down is held in the aircraft list instead, over 40
// aircraft whose main textures are such copies: each step loads the
// aircraft's paint list and previews its main texture.

#include "IniSettingsStore.h"
#include "TRezidu.h"
#include "TThumbnail.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDevice>
#include <QKeyEvent>
#include <QListWidget>
#include <QThread>

#include <functional>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
constexpr int PaintCount = 40;
constexpr double ListStopLimitMs = 100;

double msSince(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

bool copyOnce(const QString &from, const QString &to)
{
    return QFile::exists(to) || QFile::copy(from, to);
}

void forgetCached(const QString &path)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
#else
    Q_UNUSED(path);
#endif
}

struct Hold
{
    double listRunOnMs = -1;   // last row change after the release
    double previewAfterMs = -1; // the stopped-on row's preview done, after the release
    int previewsLoaded = 0;
    int finalRow = -1;
};

// `list` is where Down is held; `reset` puts it on its first row; the final
// row's preview shows `finalPath`.
Hold holdDown(TRezidu &window, QListWidget *list, const std::function<void()> &reset, const QString &finalPath,
              const QStringList &files, int presses, bool repeats)
{
    for (const QString &file : files)
        forgetCached(file);
    reset();
    QCoreApplication::processEvents();

    Hold hold;
    Clock::time_point lastRowChange = Clock::now(), finalPreview{};
    auto rows = QObject::connect(list, &QListWidget::currentRowChanged,
                                 [&](int) { lastRowChange = Clock::now(); });
    auto loads = QObject::connect(window.Thumbnail1, &TThumbnail::FileNameChanged, [&](const QString &name) {
        if (name.isEmpty())
            return;
        ++hold.previewsLoaded;
        if (QFileInfo(name).fileName() == QFileInfo(finalPath).fileName())
            finalPreview = Clock::now();
    });

    Clock::time_point released{};
    // Key events name their device, made on first use: here, not in the
    // keyboard's thread.
    QInputDevice::primaryKeyboard();
    QThread *keyboard = QThread::create([&] {
        auto due = Clock::now();
        for (int i = 0; i < presses; ++i) {
            std::this_thread::sleep_until(due);
            const bool repeat = repeats && i > 0;
            if (repeat)
                QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier,
                                                                QString(), true));
            QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier,
                                                            QString(), repeat));
            due += std::chrono::microseconds(33333);
        }
        std::this_thread::sleep_until(due);
        released = Clock::now();
        QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier));
    });
    keyboard->start();
    // Until the keyboard is done and nothing has moved for half a second.
    while (!keyboard->isFinished() || msSince(std::max(lastRowChange, finalPreview), Clock::now()) < 500
           || finalPreview == Clock::time_point{}) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (keyboard->isFinished() && msSince(released, Clock::now()) > 60000)
            break;
    }
    keyboard->wait();
    delete keyboard;
    QObject::disconnect(rows);
    QObject::disconnect(loads);

    hold.finalRow = list->currentRow();
    hold.listRunOnMs = std::max(0.0, msSince(released, lastRowChange));
    if (finalPreview != Clock::time_point{})
        hold.previewAfterMs = msSince(released, finalPreview);
    return hold;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TEXTURE FOLDER [PRESSES]\n", argv[0]);
        return 2;
    }
    const QString texture = QString::fromLocal8Bit(argv[1]);
    const QString root = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + "/heldkey/";
    const int presses = argc > 3 ? std::clamp(std::atoi(argv[3]), 2, PaintCount + 1) : PaintCount;

    const bool aircraftList = argc > 4 && QByteArray(argv[4]) == "aircraft";
    const QString game = root + (aircraftList ? "fleet/" : "game/");
    QStringList files;
    bool ok = true;
    auto write = [&ok](const QString &path, const QByteArray &content) {
        QFile file(path);
        ok = ok && file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    };
    auto listFile = [](const QByteArray &title, const QByteArray &mainTexture, int paints) {
        QByteArray list = ";Autogenerated Corvane file\r\n;Aircraft Title\r\n" + title + "\r\n;Original Texture name\r\n"
                          + mainTexture + "\r\n";
        for (int i = 1; i <= paints; ++i)
            list += ";Paint Name\r\nPaint " + QByteArray::number(i) + "\r\n;Paint Texture\r\n"
                    + QStringLiteral("paint_%1.dds").arg(i, 2, 10, QLatin1Char('0')).toLatin1() + "\r\n";
        return list + "##\r\n## end\r\n";
    };
    if (aircraftList) {
        for (int i = 1; i <= PaintCount; ++i) {
            const QByteArray name = "Heavy" + QByteArray::number(i).rightJustified(2, '0');
            const QString folder = game + "Aircraft/" + QString::fromLatin1(name) + "/";
            QDir().mkpath(folder);
            ok = ok && copyOnce(texture, folder + name + "_t.dds");
            files << folder + name + "_t.dds";
            write(folder + name + ".pnt", listFile(name, name + "_t.dds", 0));
            write(folder + name + ".xdp", "<aircraft/>\r\n");
        }
    } else {
        const QString aircraft = game + "Aircraft/Heavy/";
        QDir().mkpath(aircraft);
        ok = copyOnce(texture, aircraft + "Heavy_t.dds") && copyOnce(texture, aircraft + "Heavy_t.dds.bak");
        files << aircraft + "Heavy_t.dds.bak";
        for (int i = 1; i <= PaintCount; ++i) {
            const QString name = QStringLiteral("paint_%1.dds").arg(i, 2, 10, QLatin1Char('0'));
            ok = ok && copyOnce(texture, aircraft + name);
            files << aircraft + name;
        }
        write(aircraft + "Heavy.pnt", listFile("Heavy", "Heavy_t.dds", PaintCount));
        write(aircraft + "Heavy.xdp", "<aircraft/>\r\n");
    }
    write(root + "settings.ini", "[bench_heldkey]\nCFSPath=" + QFile::encodeName(game) + "\n");
    if (!ok) {
        std::fprintf(stderr, "cannot write the game under %s\n", qPrintable(root));
        return 1;
    }

    qputenv("WINEPREFIX", QFile::encodeName(root + "no-wine"));
    TRezidu window(std::make_unique<IniSettingsStore>(root + "settings.ini"));
    window.show();
    window.Timer1Timer();
    const int rows = aircraftList ? window.InList->count() : window.OutList->count();
    if (rows != (aircraftList ? PaintCount : PaintCount + 2) || !window.Thumbnail1->HasPicture()) {
        std::fprintf(stderr, "the aircraft or its preview did not load\n");
        return 1;
    }

    QListWidget *list = aircraftList ? window.InList : window.OutList;
    const int finalRow = std::min(presses, rows - 1);
    // The row stopped on shows the main texture of that aircraft, or that paint.
    const QString finalPath = aircraftList ? QDir::toNativeSeparators(files.at(finalRow))
                                           : window.OutList1->item(finalRow)->text();
    const std::function<void()> reset = [&window, aircraftList] {
        if (!aircraftList) {
            window.ResetPaintSelection();
            return;
        }
        {
            const QSignalBlocker quiet(window.InList);
            window.InList->setCurrentRow(0);
        }
        window.OutListClick();
    };
    std::printf("Holding Down for %d rows of the %s list at 30 Hz over 4096² DXT5 without mipmaps, from disk "
                "(ms after the release)\n",
                presses, aircraftList ? "aircraft" : "paint");
    std::printf("%-26s %10s %14s %9s %9s\n", "presses", "list moves", "final preview", "previews", "on row");
    for (const bool repeats : {true, false}) {
        const Hold hold = holdDown(window, list, reset, finalPath, files, presses, repeats);
        const bool stopped = hold.listRunOnMs <= ListStopLimitMs;
        std::printf("%-26s %10.0f %14.0f %9d %9d%s\n", repeats ? "repeats of a held key" : "each a press of its own",
                    hold.listRunOnMs, hold.previewAfterMs, hold.previewsLoaded, hold.finalRow,
                    repeats ? (stopped ? "   (list stops within 100: met)" : "   (list stops within 100: MISSED)")
                            : "");
    }
    return 0;
}
