#include "LauncherFileName.h"
#include "TExeButton.h"

#include "MouseSend.h"
#include "UrlRecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane::controls;

namespace {

const QColor Light(255, 0, 0), Dark(0, 0, 255), Back(0, 255, 0);

// A program that records the folder it was started in: a shell script named
// name, or on Windows a command script named name with .cmd for .sh.
QString writeRecorder(const QString &folder, QString name, const QString &output)
{
#ifdef Q_OS_WIN
    name.replace(QLatin1String(".sh"), QLatin1String(".cmd"));
    const QByteArray command = "@cd > \"" + QDir::toNativeSeparators(output).toUtf8() + "\"\r\n";
#else
    const QByteArray command = "#!/bin/sh\npwd -P > '" + output.toUtf8() + "'\n";
#endif
    QFile script(QDir(folder).filePath(name));
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write(command);
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    return script.fileName();
}

// The recorded folder, in the form QDir::canonicalPath gives.
QString recorded(const QString &output)
{
    QFile file(output);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QFileInfo(QString::fromLocal8Bit(file.readAll()).trimmed()).canonicalFilePath();
}

// What a shortcut named name is called on disk: Windows shell links end in .lnk.
QString shortcutName(const QString &name)
{
#ifdef Q_OS_WIN
    return name + QStringLiteral(".lnk");
#else
    return name;
#endif
}

QIcon solidIcon(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::magenta);
    return QIcon(pixmap);
}

} // namespace

class TstExeButton : public QObject
{
    Q_OBJECT

    QWidget *host = nullptr;
    QTemporaryDir *dir = nullptr;

    TExeButton *makeButton()
    {
        auto *button = new TExeButton(host);
        QPalette p = button->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(group, QPalette::Light, Light);
            p.setColor(group, QPalette::Shadow, Dark);
            p.setColor(group, QPalette::Window, Back);
        }
        button->setPalette(p);
        button->move(10, 10);
        button->setAuto(true);
        button->show();
        return button;
    }
    // A button that starts a recorder writing to `output` when it launches.
    TExeButton *makeLauncher(const QString &output)
    {
        TExeButton *button = makeButton();
        button->SetFileName(writeRecorder(dir->path(), QStringLiteral("viewer.sh"), output));
        button->setAutoRun(true);
        return button;
    }
    static QImage image(QWidget *w) { return w->grab().toImage(); }

private slots:
    void init()
    {
        host = new QWidget;
        host->setGeometry(100, 100, 300, 200);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host));
        dir = new QTemporaryDir;
    }
    void cleanup()
    {
        delete host;
        delete dir;
    }

    void fileNameParts_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("separators");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("folder");
        const QString win = QStringLiteral("\\/:");
        QTest::newRow("windows program") << "C:\\Tools\\Viewer.exe" << win << ".EXE" << "Viewer" << "C:\\Tools\\";
        QTest::newRow("shortcut, any case") << "D:Flight.lnk" << win << ".LNK" << "Flight" << "D:";
        QTest::newRow("no extension") << "C:\\v1.2\\README" << win << "" << "README" << "C:\\v1.2\\";
        QTest::newRow("last dot wins") << "/opt/a/paint.tar.gz" << "/" << ".GZ" << "paint.tar" << "/opt/a/";
        QTest::newRow("backslash is a name character here") << "/opt/a\\b.txt" << "/" << ".TXT" << "a\\b" << "/opt/";
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

    void settingFileName()
    {
        TExeButton *button = makeButton();
        const QString name = dir->filePath(QStringLiteral("Flight.LNK"));
        button->SetFileName(name);
        QCOMPARE(button->fileExt(), QStringLiteral(".LNK"));
        QCOMPARE(button->caption(), QStringLiteral("Flight"));
        QCOMPARE(button->filePath(), dir->path() + u'/');

        // The same name again looks no icon up.
        button->SetIcon(solidIcon(32));
        button->SetFileName(name);
        QVERIFY(!button->icon().isNull());
        QVERIFY(!button->setProperty("FilePath", QStringLiteral("/elsewhere/")));
    }

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
        button->resize(200, 100);
        button->setLargeIcon(largeIcon);
        button->setShowIcon(showIcon);
        button->setShowLabel(showLabel);
        button->SetCaption(QStringLiteral("A caption far longer than any button could show"));
        QTEST(button->size(), "size");
    }

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
        button->setShowLabel(false);
        button->setShowIcon(false);
        button->setBorder(border);
        button->setDown(down);
        const QImage img = image(button); // 40 x 40
        for (const QPoint p : {QPoint(0, 39), QPoint(0, 0), QPoint(38, 0)})
            QCOMPARE(img.pixelColor(p), first);
        for (const QPoint p : {QPoint(39, 0), QPoint(39, 39), QPoint(1, 39)})
            QCOMPARE(img.pixelColor(p), second);
    }

    void iconAndItsSmallCopy()
    {
        TExeButton *button = makeButton();
        button->SetIcon(solidIcon(48));
        QCOMPARE(button->smallIcon().size(), QSize(16, 16));
        button->setShowLabel(false);
        QImage img = image(button);
        QCOMPARE(img.pixelColor(4, 4), QColor(Qt::magenta));
        QCOMPARE(img.pixelColor(35, 35), QColor(Qt::magenta));
        QCOMPARE(img.pixelColor(36, 36), Back);
        button->setLargeIcon(false);
        img = image(button);
        QCOMPARE(img.pixelColor(19, 19), QColor(Qt::magenta));
        QCOMPARE(img.pixelColor(20, 20), Back);
    }

    void longCaptionStaysInsideTheLabelArea()
    {
        TExeButton *button = makeButton();
        button->SetCaption(QStringLiteral("Viewer program with a name far too long"));
        const QImage img = image(button);
        bool inked = false;
        for (int x = 36; x < 103; ++x)
            for (int y = 1; y < 39; ++y)
                if (img.pixelColor(x, y) != Back) {
                    inked = true;
                    QVERIFY2(x < 100, "the label runs into the right margin");
                }
        QVERIFY(inked);
    }

    void disabledLooksTheSameAndIgnoresTheMouse()
    {
        TExeButton *button = makeButton();
        button->SetCaption(QStringLiteral("Viewer"));
        QPalette p = button->palette();
        p.setColor(QPalette::Disabled, QPalette::Window, Qt::yellow);
        p.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
        button->setPalette(p);
        const QImage enabledLook = image(button);
        button->setEnabled(false);
        QCOMPARE(image(button), enabledLook);
        MouseSend::press(button, {10, 10});
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
        QTest::newRow("(1, 1)") << QPoint(1, 1) << true;
        QTest::newRow("last inner pixel") << QPoint(103, 39) << true;
    }
    void releaseMustBeStrictlyInside()
    {
        QFETCH(QPoint, at);
        QFETCH(bool, launches);
        const QString output = dir->filePath(QStringLiteral("started"));
        TExeButton *button = makeLauncher(output);
        MouseSend::press(button, {10, 10});
        MouseSend::release(button, at);
        if (launches) {
            QTRY_COMPARE(recorded(output), QDir(dir->path()).canonicalPath()); // in its own folder
        } else {
            QTest::qWait(300);
            QVERIFY(!QFile::exists(output));
        }
    }

    void whichButtonsPressAndLaunch()
    {
        const QString output = dir->filePath(QStringLiteral("started"));
        TExeButton *button = makeLauncher(output);
        QSignalSpy clicks(button, &TExeButton::OnClick);
        MouseSend::press(button, {10, 10}, Qt::RightButton);
        QVERIFY(!button->down());
        MouseSend::release(button, {10, 10}, Qt::RightButton);
        QTest::qWait(300);
        QVERIFY(!QFile::exists(output));

        MouseSend::press(button, {10, 10}, Qt::MiddleButton);
        QVERIFY(button->down());
        MouseSend::release(button, {10, 10}, Qt::MiddleButton);
        QVERIFY(!button->down());
        QTRY_VERIFY(QFile::exists(output));
        QCOMPARE(clicks.count(), 0);
    }

    void clickHandlersRunBeforeTheLaunch()
    {
        const QString first = dir->filePath(QStringLiteral("first"));
        const QString second = dir->filePath(QStringLiteral("second"));
        TExeButton *button = makeLauncher(first);
        const QString replacement = writeRecorder(dir->path(), QStringLiteral("second.sh"), second);
        connect(button, &TExeButton::OnClick, this, [&] { button->SetFileName(replacement); });
        MouseSend::click(button, {10, 10});
        QTRY_VERIFY(QFile::exists(second));
        QVERIFY(!QFile::exists(first));
    }

    void linkIsFollowedAndStartedInItsTargetFolder()
    {
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("game")));
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("desk")));
        const QString output = dir->filePath(QStringLiteral("started"));
        const QString target = writeRecorder(dir->filePath(QStringLiteral("game")), QStringLiteral("fly.sh"), output);
        const QString shortcut = dir->filePath(shortcutName(QStringLiteral("desk/Flight")));
        QVERIFY(QFile::link(target, shortcut));
        TExeButton *button = makeButton();
        button->SetFileName(shortcut);
        button->Launch();
        QTRY_COMPARE(recorded(output), QDir(dir->filePath(QStringLiteral("game"))).canonicalPath());
    }

    void documentsGoToTheDesktopAndDanglingLinksNowhere()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows opens documents through the shell, past Qt's URL handlers");
#endif
        UrlRecorder desktop({QStringLiteral("file")});
        const QString document = dir->filePath(QStringLiteral("notes.txt"));
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(QFile::link(dir->filePath(QStringLiteral("missing.sh")), dir->filePath(QStringLiteral("Gone"))));

        TExeButton *button = makeButton();
        button->SetFileName(dir->filePath(QStringLiteral("Gone")));
        button->Launch();
        QVERIFY(desktop.urls.isEmpty());
        button->SetFileName(document);
        button->Launch();
        QCOMPARE(desktop.urls, QList<QUrl>{QUrl::fromLocalFile(document)});
    }
};

QTEST_MAIN(TstExeButton)
#include "tst_ExeButton.moc"
