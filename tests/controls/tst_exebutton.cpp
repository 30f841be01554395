#include "LabelFit.h"
#include "LauncherFileName.h"
#include "TExeButton.h"

#include "MouseSend.h"
#include "UrlRecorder.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane::controls;

namespace {

const QColor Light(255, 0, 0);
const QColor Dark(0, 0, 255);
const QColor Back(0, 255, 0);
const QColor Ink(0, 0, 0);

class CountingExeButton : public TExeButton
{
public:
    using TExeButton::TExeButton;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        TExeButton::paintEvent(event);
    }
};

// A program that records the folder it was started in.
QString writeRecorder(const QString &folder, const QString &name, const QString &output)
{
    const QString path = QDir(folder).filePath(name);
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write("#!/bin/sh\npwd -P > '" + output.toUtf8() + "'\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return path;
}

QString readRecorded(const QString &output)
{
    QFile file(output);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).trimmed();
}

int sevenPerChar(const QString &s)
{
    return int(s.size()) * 7;
}

QIcon solidIcon(const QColor &color, int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

class TstExeButton : public QObject
{
    Q_OBJECT

    QWidget *host = nullptr;

    template <typename Button = TExeButton>
    Button *makeButton()
    {
        auto *button = new Button(host);
        QPalette p = button->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(group, QPalette::Light, Light);
            p.setColor(group, QPalette::Shadow, Dark);
            p.setColor(group, QPalette::Window, Back);
            p.setColor(group, QPalette::WindowText, Ink);
        }
        button->setPalette(p);
        button->move(10, 10);
        button->setAuto(true);
        button->show();
        return button;
    }

    QImage image(QWidget *w) { return w->grab().toImage(); }

private slots:
    void init()
    {
        host = new QWidget;
        host->setGeometry(100, 100, 300, 200);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
    }
    void cleanup()
    {
        delete host;
        host = nullptr;
    }

    // --- file name ------------------------------------------------------

    void fileNameParts_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("separators");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("folder");
        const QString win = QStringLiteral("\\/:");
        QTest::newRow("windows program") << "C:\\Tools\\Viewer.exe" << win << ".EXE" << "Viewer" << "C:\\Tools\\";
        QTest::newRow("shortcut upper") << "C:\\Games\\Flight.LNK" << win << ".LNK" << "Flight" << "C:\\Games\\";
        QTest::newRow("shortcut lower") << "Flight.lnk" << win << ".LNK" << "Flight" << "";
        QTest::newRow("drive only") << "D:Notes.txt" << win << ".TXT" << "Notes" << "D:";
        QTest::newRow("no extension") << "C:\\Tools\\README" << win << "" << "README" << "C:\\Tools\\";
        QTest::newRow("dot in folder only") << "C:\\v1.2\\README" << win << "" << "README" << "C:\\v1.2\\";
        QTest::newRow("last dot wins") << "/opt/a/paint.tar.gz" << "/" << ".GZ" << "paint.tar" << "/opt/a/";
        QTest::newRow("backslash is a name character here") << "/opt/a\\b.txt" << "/" << ".TXT" << "a\\b" << "/opt/";
        QTest::newRow("trailing separator") << "/opt/a/" << "/" << "" << "" << "/opt/a/";
        QTest::newRow("empty") << "" << "/" << "" << "" << "";
    }
    void fileNameParts()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, separators);
        const LauncherFileName parts = splitLauncherFileName(fileName, separators);
        QTEST(parts.extension, "extension");
        QTEST(parts.caption, "caption");
        QTEST(parts.folder, "folder");
    }

    void settingFileNameFillsTheDerivedProperties()
    {
        auto *button = makeButton<CountingExeButton>();
        const QString name = QDir::tempPath() + QStringLiteral("/nowhere/Flight.LNK");
        button->SetFileName(name);
        QCOMPARE(button->fileExt(), QStringLiteral(".LNK"));
        QCOMPARE(button->caption(), QStringLiteral("Flight"));
        QCOMPARE(button->filePath(), QDir::tempPath() + QStringLiteral("/nowhere/"));
        QVERIFY(button->icon().isNull()); // no such file, so no icon

        // The same name again looks nothing up and repaints nothing.
        button->SetIcon(solidIcon(Qt::magenta, 32));
        const int paints = button->paints;
        button->SetFileName(name);
        QCOMPARE(button->paints, paints);
        QVERIFY(!button->icon().isNull());

        // FilePath is derived only.
        QVERIFY(!button->setProperty("FilePath", QStringLiteral("/elsewhere/")));
        QCOMPARE(button->filePath(), QDir::tempPath() + QStringLiteral("/nowhere/"));
    }

    // --- layout ---------------------------------------------------------

    void automaticSizes_data()
    {
        QTest::addColumn<bool>("largeIcon");
        QTest::addColumn<bool>("showIcon");
        QTest::addColumn<bool>("showLabel");
        QTest::addColumn<QSize>("size");
        QTest::newRow("large, icon and label") << true << true << true << QSize(104, 40);
        QTest::newRow("large, icon only") << true << true << false << QSize(40, 40);
        QTest::newRow("large, label only") << true << false << true << QSize(72, 40);
        QTest::newRow("small, icon and label") << false << true << true << QSize(88, 24);
        QTest::newRow("small, icon only") << false << true << false << QSize(24, 24);
        QTest::newRow("small, label only") << false << false << true << QSize(72, 24);
    }
    void automaticSizes()
    {
        QFETCH(bool, largeIcon);
        QFETCH(bool, showIcon);
        QFETCH(bool, showLabel);
        TExeButton *button = makeButton();
        button->setLargeIcon(largeIcon);
        button->setShowIcon(showIcon);
        button->setShowLabel(showLabel);
        button->SetCaption(QStringLiteral("A caption far longer than any button could ever show"));
        QTEST(button->size(), "size");
        QCOMPARE(button->iconSize(), largeIcon ? 32 : 16);
    }

    void automaticSizeOverridesAStoredSize()
    {
        TExeButton *button = makeButton();
        button->resize(200, 100);
        button->setBorder(true);
        QCOMPARE(button->size(), QSize(104, 40));

        button->setAuto(false);
        button->resize(200, 100);
        button->setBorder(true);
        QCOMPARE(button->size(), QSize(200, 100));
    }

    // --- painting -------------------------------------------------------

    void frame_data()
    {
        QTest::addColumn<bool>("border");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QColor>("first");
        QTest::addColumn<QColor>("second");
        QTest::newRow("up") << true << false << Light << Dark;
        QTest::newRow("down") << true << true << Dark << Light;
        QTest::newRow("borderless up") << false << false << Back << Back;
        QTest::newRow("borderless down") << false << true << Dark << Light;
    }
    void frame()
    {
        QFETCH(bool, border);
        QFETCH(bool, down);
        QFETCH(QColor, first);
        QFETCH(QColor, second);
        TExeButton *button = makeButton();
        button->setShowIcon(false);
        button->setShowLabel(false);
        button->setAuto(false);
        button->resize(104, 40);
        button->setBorder(border);
        button->setDown(down);
        const QImage img = image(button);
        QCOMPARE(img.pixelColor(0, 20), first);
        QCOMPARE(img.pixelColor(0, 0), first);
        QCOMPARE(img.pixelColor(0, 39), first);
        QCOMPARE(img.pixelColor(50, 0), first);
        QCOMPARE(img.pixelColor(102, 0), first);
        QCOMPARE(img.pixelColor(103, 0), second);
        QCOMPARE(img.pixelColor(103, 20), second);
        QCOMPARE(img.pixelColor(103, 39), second);
        QCOMPARE(img.pixelColor(50, 39), second);
        QCOMPARE(img.pixelColor(1, 39), second);
        QCOMPARE(img.pixelColor(50, 20), Back);
    }

    void iconAndItsSmallCopy()
    {
        auto *button = makeButton<CountingExeButton>();
        const int paints = button->paints;
        button->SetIcon(solidIcon(Qt::magenta, 48));
        QCOMPARE(button->paints, paints); // shows at the next repaint only
        QCOMPARE(button->smallIcon().size(), QSize(16, 16));

        button->setShowLabel(false);
        QImage img = image(button);
        QCOMPARE(img.pixelColor(4, 4), QColor(Qt::magenta));
        QCOMPARE(img.pixelColor(35, 35), QColor(Qt::magenta));
        QCOMPARE(img.pixelColor(36, 36), Back);
        QCOMPARE(img.pixelColor(3, 4), Back);

        button->setLargeIcon(false);
        img = image(button);
        QCOMPARE(button->size(), QSize(24, 24));
        QCOMPARE(img.pixelColor(19, 19), QColor(Qt::magenta));
        QCOMPARE(img.pixelColor(20, 20), Back);
    }

    void labelShortening_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("room");
        QTest::addColumn<QString>("fitted");
        QTest::addColumn<int>("x");
        QTest::newRow("fits, centred") << "Viewer" << 64 << "Viewer" << 11;
        QTest::newRow("exactly fits") << "123456789" << 63 << "123456789" << 0;
        QTest::newRow("two full stops while long") << "Viewer program" << 64 << "Viewer .." << 0;
        QTest::newRow("short copies lose characters only") << "abcdefg" << 20 << "ab" << 0;
        QTest::newRow("four left keep their last character") << "abcdef" << 28 << "abc." << 0;
        QTest::newRow("nothing fits") << "abc" << 5 << "" << 0;
        QTest::newRow("no room at all") << "abc" << -30 << "" << 0;
        QTest::newRow("empty") << "" << 10 << "" << 5;
    }
    void labelShortening()
    {
        QFETCH(QString, text);
        QFETCH(int, room);
        const FittedLabel label = fitLabel(text, room, sevenPerChar);
        QTEST(label.text, "fitted");
        QTEST(label.x, "x");
    }

    void shorteningKeepsWholeCharacters()
    {
        // Four characters outside the basic plane: each is two UTF-16 units.
        const QString wide = QString::fromUtf8("\xF0\x9F\x9B\xA9\xF0\x9F\x9B\xA9\xF0\x9F\x9B\xA9\xF0\x9F\x9B\xA9");
        const auto perCharacter = [](const QString &s) { return int(s.toStdU32String().size()) * 10; };
        const FittedLabel label = fitLabel(wide, 25, perCharacter);
        QCOMPARE(label.text.toStdU32String().size(), size_t(2));
        QVERIFY(label.text.isValidUtf16());
    }

    void longCaptionStaysInsideTheLabelArea()
    {
        TExeButton *button = makeButton();
        const QString caption = QStringLiteral("Viewer program with a name far too long");
        button->SetCaption(caption);
        QCOMPARE(button->size(), QSize(104, 40));

        const QFontMetrics metrics(button->font());
        const FittedLabel label =
            fitLabel(caption, 64, [&](const QString &s) { return metrics.horizontalAdvance(s); });
        QVERIFY(label.text.endsWith(QStringLiteral("..")));
        QVERIFY(metrics.horizontalAdvance(label.text) <= 64);

        const QImage img = image(button);
        bool inked = false;
        for (int x = 36; x < 100; ++x)
            for (int y = 1; y < 39; ++y)
                inked = inked || img.pixelColor(x, y) != Back;
        QVERIFY(inked);
        for (int x = 100; x < 103; ++x)
            for (int y = 1; y < 39; ++y)
                QCOMPARE(img.pixelColor(x, y), Back);
    }

    void disabledLooksTheSameAndIgnoresTheMouse()
    {
        TExeButton *button = makeButton();
        button->SetIcon(solidIcon(Qt::magenta, 32));
        button->SetCaption(QStringLiteral("Viewer"));
        QPalette p = button->palette();
        p.setColor(QPalette::Disabled, QPalette::Window, Qt::yellow);
        p.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
        p.setColor(QPalette::Disabled, QPalette::Light, Qt::cyan);
        button->setPalette(p);
        const QImage enabledLook = image(button);
        button->setEnabled(false);
        QCOMPARE(image(button), enabledLook);

        QSignalSpy downs(button, &TExeButton::OnMouseDown);
        MouseSend::press(button, {10, 10});
        QVERIFY(!button->down());
        QCOMPARE(downs.count(), 0);
    }

    // --- mouse and launching -------------------------------------------

    void pressAndRelease()
    {
        TExeButton *button = makeButton();
        QSignalSpy clicks(button, &TExeButton::OnClick);
        QSignalSpy ups(button, &TExeButton::OnMouseUp);

        MouseSend::press(button, {10, 10}, Qt::RightButton);
        QVERIFY(!button->down());
        MouseSend::release(button, {10, 10}, Qt::RightButton);
        QCOMPARE(ups.count(), 1);

        MouseSend::press(button, {10, 10}, Qt::MiddleButton);
        QVERIFY(button->down());
        MouseSend::release(button, {10, 10}, Qt::MiddleButton);
        QVERIFY(!button->down());
        QCOMPARE(clicks.count(), 0);

        MouseSend::click(button, {10, 10});
        QCOMPARE(clicks.count(), 1);

        button->setLatch(true);
        MouseSend::click(button, {10, 10});
        QVERIFY(button->down());
        MouseSend::click(button, {10, 10});
        QVERIFY(!button->down());
    }

    void releaseMustBeStrictlyInside_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("launches");
        QTest::newRow("left column") << QPoint(0, 10) << false;
        QTest::newRow("at width") << QPoint(104, 10) << false;
        QTest::newRow("top row") << QPoint(10, 0) << false;
        QTest::newRow("at height") << QPoint(10, 40) << false;
        QTest::newRow("outside") << QPoint(300, 300) << false;
        QTest::newRow("(1, 1)") << QPoint(1, 1) << true;
        QTest::newRow("last inner pixel") << QPoint(103, 39) << true;
    }
    void releaseMustBeStrictlyInside()
    {
        QFETCH(QPoint, at);
        QFETCH(bool, launches);
        QTemporaryDir dir;
        const QString output = dir.filePath(QStringLiteral("started"));
        const QString program = writeRecorder(dir.path(), QStringLiteral("viewer.sh"), output);
        TExeButton *button = makeButton();
        button->SetFileName(program);
        button->setAutoRun(true);
        MouseSend::press(button, {10, 10});
        MouseSend::release(button, at);
        if (launches) {
            QTRY_VERIFY(QFile::exists(output));
            QCOMPARE(readRecorded(output), QDir(dir.path()).canonicalPath());
        } else {
            QTest::qWait(300);
            QVERIFY(!QFile::exists(output));
        }
    }

    void whichButtonsLaunch()
    {
        QTemporaryDir dir;
        const QString output = dir.filePath(QStringLiteral("started"));
        TExeButton *button = makeButton();
        button->SetFileName(writeRecorder(dir.path(), QStringLiteral("viewer.sh"), output));
        button->setAutoRun(true);

        MouseSend::click(button, {10, 10}, Qt::RightButton);
        QTest::qWait(300);
        QVERIFY(!QFile::exists(output));

        MouseSend::click(button, {10, 10}, Qt::MiddleButton);
        QTRY_VERIFY(QFile::exists(output));

        // Without AutoRun a click starts nothing.
        QFile::remove(output);
        button->setAutoRun(false);
        MouseSend::click(button, {10, 10});
        QTest::qWait(300);
        QVERIFY(!QFile::exists(output));
    }

    void clickHandlersRunBeforeTheLaunch()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first"));
        const QString second = dir.filePath(QStringLiteral("second"));
        TExeButton *button = makeButton();
        button->SetFileName(writeRecorder(dir.path(), QStringLiteral("first.sh"), first));
        button->setAutoRun(true);
        const QString replacement = writeRecorder(dir.path(), QStringLiteral("second.sh"), second);
        connect(button, &TExeButton::OnClick, this, [&] { button->SetFileName(replacement); });

        MouseSend::click(button, {10, 10});
        QTRY_VERIFY(QFile::exists(second));
        QVERIFY(!QFile::exists(first));
    }

    void linkIsFollowedAndStartedInItsTargetFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("game")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("desk")));
        const QString output = dir.filePath(QStringLiteral("started"));
        const QString target = writeRecorder(dir.filePath(QStringLiteral("game")), QStringLiteral("fly.sh"), output);
        const QString link = dir.filePath(QStringLiteral("desk/Flight"));
        QVERIFY(QFile::link(target, link));

        TExeButton *button = makeButton();
        button->SetFileName(link);
        button->setAutoRun(true);
        MouseSend::click(button, {10, 10});
        QTRY_VERIFY(QFile::exists(output));
        QCOMPARE(readRecorded(output), QDir(dir.filePath(QStringLiteral("game"))).canonicalPath());
    }

    void documentsGoToTheDesktopAndDanglingLinksNowhere()
    {
        UrlRecorder desktop({QStringLiteral("file")});
        QTemporaryDir dir;
        const QString document = dir.filePath(QStringLiteral("notes.txt"));
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString link = dir.filePath(QStringLiteral("Gone"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("missing.sh")), link));

        TExeButton *button = makeButton();
        button->SetFileName(link);
        button->Launch();
        QVERIFY(desktop.urls.isEmpty());

        button->SetFileName(document);
        button->Launch();
        QCOMPARE(desktop.urls, QList<QUrl>{QUrl::fromLocalFile(document)});
    }
};

QTEST_MAIN(TstExeButton)
#include "tst_exebutton.moc"
