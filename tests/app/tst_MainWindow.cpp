#include "GameRegistry.h"
#include "IniSettingsStore.h"
#include "ModalDriver.h"
#include "NativePath.h"
#include "SystemDrive.h"
#include "TRezidu.h"
#include "TThumbnail.h"
#include "TempTree.h"
#include "TestGame.h"

#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// Counts the handlers the window's controls run.
class SpyRezidu : public TRezidu
{
public:
    using TRezidu::TRezidu;
    int scans = 0;
    int aircraftClicks = 0;
    int paintClicks = 0;

    void ScanAircraft() override
    {
        TRezidu::ScanAircraft();
        ++scans;
    }
    void OutListClick() override
    {
        ++aircraftClicks;
        TRezidu::OutListClick();
    }
    void InListClick() override
    {
        ++paintClicks;
        TRezidu::InListClick();
    }
};

void clickRow(QListWidget *list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;

    std::unique_ptr<SpyRezidu> makeWindow()
    {
        return std::make_unique<SpyRezidu>(std::make_unique<IniSettingsStore>(m_ini));
    }

    // Three aircraft with one paint each, found through the stored game folder.
    void makeGame()
    {
        const QString game = m_dir.filePath(QString("game-%1/").arg(QTest::currentTestFunction()));
        for (const char *name : {"P51", "Spitfire", "Zero"})
            TestGame::addAircraft(game, name, {{"Desert", "desert.dds"}});
        TempTree::writeFile(m_ini, "[tst_app_main_window]\nCFSPath=" + game.toUtf8() + "\n");
    }

    QString iniValue(const QString &name)
    {
        IniSettingsStore store(m_ini);
        QString text = "<missing>";
        if (!store.readText("tst_app_main_window", name, text))
            return "<unreadable>";
        return text;
    }

private slots:
    void init()
    {
        m_ini = m_dir.filePath(QString("settings-%1.ini").arg(QTest::currentTestFunction()));
        // No Wine prefix unless a test builds one.
        qputenv("WINEPREFIX", m_dir.filePath("no-wine").toLocal8Bit());
    }

    void layoutMatchesTheDesign()
    {
        auto window = makeWindow();
        QCOMPARE(window->windowTitle(), QString("CFS3 Corvane"));
        QCOMPARE(window->size(), QSize(701, 534));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(window->windowFlags() & Qt::Tool);
        QCOMPARE(window->InList->geometry(), QRect(8, 8, 161, 177));
        QCOMPARE(window->OutList->geometry(), QRect(8, 208, 161, 153));
        QCOMPARE(window->Thumbnail1->geometry(), QRect(176, 8, 520, 520));
        QCOMPARE(window->Thumbnail1->ShowLabel(), false);
        QCOMPARE(window->Thumbnail1->BitmapSize(), 512);
        QCOMPARE(window->Button2->text(), QString("Apply Current Selection"));
        QCOMPARE(window->InList->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(window->OutList->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(window->InList1->isHidden() && window->OutList1->isHidden());
        QVERIFY(!window->Button2->isEnabled() && !window->Button3->isEnabled() && !window->Button4->isEnabled());
        QVERIFY(window->Button1->isEnabled() && window->Button5->isEnabled() && window->Button6->isEnabled());
        window->InList->addItem("row");
        QCOMPARE(window->InList->visualItemRect(window->InList->item(0)).height(), 13);
    }

    void firstRunUsesDefaultsAndTheGamesRegistryEntry()
    {
#ifdef Q_OS_WIN
        // A test never writes the machine's own registry (the key's reading
        // is tested on its own): the window takes whatever it holds.
        const QString installed = readGameInstallFolder();
        const QString game = installed.isEmpty() ? QString() : NativePath::withTrailingSeparator(installed);
#else
        const QString prefix = m_dir.filePath("wine");
        QVERIFY(QDir().mkpath(prefix + "/drive_c/CFS3"));
        QVERIFY(TempTree::writeFile(prefix + "/system.reg",
            "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Microsoft Games\\\\Combat Flight Simulator\\\\3.0] 1\n"
            "\"EXE Path\"=\"C:\\\\CFS3\"\n"));
        qputenv("WINEPREFIX", prefix.toLocal8Bit());
        const QString game = QFileInfo(prefix + "/drive_c").canonicalFilePath() + "/CFS3/";
#endif

        auto window = makeWindow();
        QCOMPARE(window->GameFolder, game);
        if (!game.isEmpty())
            QCOMPARE(window->AircraftFolder, game + "Aircraft" + QDir::separator());
        QCOMPARE(window->pos(), QPoint(40, 40));
        window->Button1->click();
        QCOMPARE(iniValue("Top"), QString("40"));
        QCOMPARE(iniValue("Left"), QString("40"));
        QCOMPARE(iniValue("CFSPath"), game);
        QCOMPARE(iniValue("Program"), QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
    }

    void storedValuesAreReadByTheirRules()
    {
        QVERIFY(TempTree::writeFile(m_ini, "[tst_app_main_window]\nTop=0x20\nLeft=far\nCFSPath=/games/CFS3\n"));
        auto window = makeWindow();
        QCOMPARE(window->pos(), QPoint(40, 32));
        QCOMPARE(window->GameFolder, QDir::toNativeSeparators("/games/CFS3/"));
        window->close();
        QCOMPARE(iniValue("CFSPath"), QDir::toNativeSeparators("/games/CFS3/"));
    }

    void aPositionOffEveryScreenGivesTheDefault()
    {
        QVERIFY(TempTree::writeFile(m_ini, "[tst_app_main_window]\nTop=-4000\nLeft=9000\n"));
        auto window = makeWindow();
        QCOMPARE(window->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(40, 40));
    }

    void aWrongTypedValueIsToldAndTheDefaultUsed()
    {
        QVERIFY(TempTree::writeFile(m_ini, "[tst_app_main_window]\nTop=\"1\", \"2\"\nLeft=100\n"));
        QString told;
        ModalDriver::answerNext([&](QWidget *box) {
            told = qobject_cast<QMessageBox *>(box)->text();
            box->close();
        });
        auto window = makeWindow();
        QCOMPARE(told, QString("Invalid data type for 'Top'"));
        QCOMPARE(window->pos(), QPoint(100, 40));
    }

    void exitAndTheCloseBoxSaveTheSameValues()
    {
        QStringList saved[2];
        for (int way = 0; way < 2; ++way) {
            QFile::remove(m_ini);
            QVERIFY(TempTree::writeFile(m_ini, "[tst_app_main_window]\nTop=70\nLeft=90\nCFSPath=/g\n"));
            auto window = makeWindow();
            window->show();
            if (way == 0)
                QTest::mouseClick(window->Button1, Qt::LeftButton);
            else
                window->close();
            QVERIFY(!window->isVisible());
            saved[way] = {iniValue("Top"), iniValue("Left"), iniValue("CFSPath")};
        }
        QCOMPARE(saved[0], saved[1]);
        QCOMPARE(saved[0], (QStringList{"70", "90", QDir::toNativeSeparators("/g/")}));
    }

    void aRefusedWriteAtCloseIsToldAndTheWindowStillCloses()
    {
        QVERIFY(QDir().mkpath(m_ini)); // a folder where the file should be
        ModalDriver::answerNext([](QWidget *box) { box->close(); }); // "Program" at start-up
        auto window = makeWindow();
        window->show();
        QString told;
        ModalDriver::answerNext([&](QWidget *box) {
            told = qobject_cast<QMessageBox *>(box)->text();
            box->close();
        });
        window->Button1->click();
        QVERIFY2(told.startsWith("Failed to set data for 'Top'\n\nThe settings file\n"
                                 + QDir::toNativeSeparators(m_ini)), qPrintable(told));
        QVERIFY(!window->isVisible());
    }

    void timerScansOnceAndSelectsTheFirstAircraft()
    {
        makeGame();
        auto window = makeWindow();
        window->show();
        QVERIFY(window->Timer1->isActive());
        QCOMPARE(window->scans, 0); // nothing is scanned in the constructor
        QTRY_COMPARE_WITH_TIMEOUT(window->scans, 1, 3000);
        QCOMPARE(window->aircraftClicks, 1); // run directly, not by the selection
        QCOMPARE(window->InList->currentRow(), 0);
        QCOMPARE(window->AircraftIndex, 0);
        QVERIFY(window->Button3->isEnabled());
        QVERIFY(!window->Timer1->isActive());
        QTest::qWait(2200);
        QCOMPARE(window->scans, 1);
    }

    void scanAsksWithoutAWaitCursorAndLeavesNone()
    {
        const QString game = m_dir.filePath("game-asking/");
        TestGame::addAircraft(game, "P51", {});
        QVERIFY(TempTree::writeFile(game + "Aircraft/Zero/Zero.xdp", "<xdp/>")); // no main texture
        TempTree::writeFile(m_ini, "[tst_app_main_window]\nCFSPath=" + game.toUtf8() + "\n");
        auto window = makeWindow();
        // Nobody waits for dialogs that are not used.
        QVERIFY(!window->findcfs && !window->addtex && !window->maintex);

        QList<bool> waitCursorShown;
        ModalDriver::answerNext([&](QWidget *box) {
            waitCursorShown << (QApplication::overrideCursor() != nullptr);
            box->close();
            ModalDriver::answerNext([&](QWidget *dialog) {
                waitCursorShown << (QApplication::overrideCursor() != nullptr);
                qobject_cast<QDialog *>(dialog)->reject();
            });
        });
        window->ScanAircraft();
        QCOMPARE(waitCursorShown, QList<bool>({false, false}));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(window->InList->count(), 2);
        QVERIFY(window->maintex);
    }

    void listsRunTheCrossedHandlersOnlyForThePlayersChanges()
    {
        makeGame();
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->Timer1Timer();
        const int before = window->aircraftClicks;
        int paintClicks = window->paintClicks;

        // Selecting an aircraft runs the paint handler once, directly: the
        // program's own selection of row 0 must not run it a second time.
        clickRow(window->InList, 2);
        QCOMPARE(window->aircraftClicks, before + 1);
        QCOMPARE(window->AircraftIndex, 2);
        QCOMPARE(window->paintClicks, ++paintClicks);

        window->InList->setFocus();
        QTest::keyClick(window->InList, Qt::Key_Up);
        QCOMPARE(window->aircraftClicks, before + 2);
        QCOMPARE(window->AircraftIndex, 1);
        QCOMPARE(window->paintClicks, ++paintClicks);

        clickRow(window->OutList, 1);
        QCOMPARE(window->paintClicks, ++paintClicks);
        QCOMPARE(window->PaintIndex, 1);
        QCOMPARE(window->aircraftClicks, before + 2);
    }

    void f1ShowsTheAboutDialogModally()
    {
        auto window = makeWindow();
        QDialog about;
        window->setAboutForm(&about);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QWidget *shown = nullptr;
        ModalDriver::answerNext([&](QWidget *modal) {
            shown = modal;
            modal->close();
        });
        QTest::keyClick(window.get(), Qt::Key_F1);
        QCOMPARE(shown, &about);
    }

    void withoutAGameThePreviewSaysWhatToDo()
    {
        const QString noGame = "CFS3 was not found. Press \"CFS3?\" and pick the game's cfs3.exe.";
        const QString prefix = m_dir.filePath("wine-hint");
        QVERIFY(QDir().mkpath(prefix + "/drive_c"));
        QVERIFY(TempTree::writeFile(prefix + "/system.reg", "WINE REGISTRY Version 2\n"));
        qputenv("WINEPREFIX", prefix.toLocal8Bit());
        const QString game = m_dir.filePath("hint-game/");
        QVERIFY(QDir().mkpath(game)); // a game folder, but no Aircraft folder in it
        QVERIFY(TempTree::writeFile(m_ini, "[tst_app_main_window]\nCFSPath=" + game.toUtf8() + "\n"));
        auto window = makeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QImage blank = window->Thumbnail1->grab().toImage();
        window->Timer1Timer();
        QCOMPARE(window->Thumbnail1->HintText(), noGame);
        QVERIFY(window->Thumbnail1->grab().toImage() != blank);

        // An Aircraft folder, even an empty one in other letter case, is a game.
        QVERIFY(QDir().mkpath(game + "aircraft"));
        window->ScanAircraft();
        QCOMPARE(window->Thumbnail1->HintText(), QString());

        // The dialog opens where the game was; gone, in Wine's drive_c.
        QVERIFY(QDir(game).removeRecursively());
        QString opened;
        auto cancel = [&](QWidget *dialog) {
            opened = qobject_cast<QFileDialog *>(dialog)->directory().canonicalPath();
            qobject_cast<QDialog *>(dialog)->reject();
        };
        ModalDriver::answerNext(cancel);
        window->Button5Click();
#ifdef Q_OS_WIN
        QCOMPARE(opened, QFileInfo(systemDriveFolder()).canonicalFilePath());
#else
        QCOMPARE(opened, QFileInfo(prefix + "/drive_c").canonicalFilePath());
#endif

        TestGame::addAircraft(game, "P51", {});
        ModalDriver::answerNext(cancel);
        window->Button5Click();
        QCOMPARE(opened, QFileInfo(game).canonicalFilePath());
        window->ScanAircraft();
        QCOMPARE(window->Thumbnail1->HintText(), QString());
        QCOMPARE(window->InList->count(), 1);
    }

    void aSecondWindowSeesTheGameChosenInTheFirst()
    {
        QVERIFY(TempTree::writeFile(m_ini, "[tst_app_main_window]\nCFSPath=/old/game\n"));
        auto pick = [](const QString &folder) {
            QVERIFY(TempTree::writeFile(folder + "/cfs3.exe", "MZ"));
            QVERIFY(QDir().mkpath(folder + "/Aircraft"));
            ModalDriver::answerNext([folder](QWidget *widget) {
                auto *dialog = qobject_cast<QFileDialog *>(widget);
                dialog->setDirectory(folder);
                QTest::keyClicks(dialog->findChild<QLineEdit *>("fileNameEdit"), "cfs3.exe");
                static_cast<QDialog *>(dialog)->accept();
            });
        };
        const QString chosenFirst = m_dir.filePath("first-choice");
        const QString chosenSecond = m_dir.filePath("second-choice");
        auto first = makeWindow();
        pick(chosenFirst);
        first->Button5Click();

        // Saved when chosen: a window opened now starts there.
        auto second = makeWindow();
        QCOMPARE(second->GameFolder, QDir::toNativeSeparators(chosenFirst + "/"));
        pick(chosenSecond);
        second->Button5Click();
        second->close();
        // The first window closing last keeps the newer choice.
        first->close();
        QCOMPARE(iniValue("CFSPath"), QDir::toNativeSeparators(chosenSecond + "/"));
    }

    // A pick that is not the game's folder is told and forgotten: the
    // folder in use, its aircraft and the settings stay.
    void aFolderWithoutAircraftIsRefusedAndNotSaved()
    {
        makeGame();
        const QString storedBefore = iniValue("CFSPath");
        auto window = makeWindow();
        window->Timer1Timer();
        const QString before = window->GameFolder;
        const QString elsewhere = m_dir.filePath("not-the-game");
        QVERIFY(TempTree::writeFile(elsewhere + "/cfs3.exe", "MZ"));
        QString told;
        ModalDriver::answerNext([&](QWidget *widget) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            dialog->setDirectory(elsewhere);
            QTest::keyClicks(dialog->findChild<QLineEdit *>("fileNameEdit"), "cfs3.exe");
            ModalDriver::answerNext([&](QWidget *box) {
                told = qobject_cast<QMessageBox *>(box)->text();
                qobject_cast<QMessageBox *>(box)->accept();
            });
            static_cast<QDialog *>(dialog)->accept();
        });
        window->Button5Click();
        QVERIFY2(told.contains("holds no Aircraft folder"), qPrintable(told));
        QCOMPARE(window->GameFolder, before);
        QCOMPARE(window->InList->count(), 3);
        window->close();
        QCOMPARE(QDir::toNativeSeparators(iniValue("CFSPath")), QDir::toNativeSeparators(storedBefore));
    }

    // Without a known game folder nothing is scanned, least of all an
    // "Aircraft" folder of wherever the program was started.
    void noGameFolderScansNothing()
    {
        const QString here = m_dir.filePath("started-here/");
        TestGame::addAircraft(here, "P51", {});
        QVERIFY(QFile::remove(here + "Aircraft/P51/P51.pnt"));
        const QString started = QDir::currentPath();
        QVERIFY(QDir::setCurrent(here));
        auto window = makeWindow();
        window->Timer1Timer();
        QDir::setCurrent(started);
        QCOMPARE(window->GameFolder, QString());
        QCOMPARE(window->InList->count(), 0);
        QVERIFY(!QFile::exists(here + "Aircraft/P51/P51.pnt"));
        QVERIFY(window->Button5->isEnabled());
    }

    void locatingTheGameThroughTheFileDialog()
    {
        QVERIFY(TempTree::writeFile(m_ini, "[tst_app_main_window]\nCFSPath=/old/game\n"));
        const QString game = m_dir.filePath("My Games/CFS3");
        QVERIFY(TempTree::writeFile(game + "/CFS3.EXE", "MZ"));
        for (const char *name : {"P51", "Spitfire", "Zero"})
            TestGame::addAircraft(game + "/", name, {});
        auto window = makeWindow();
        window->Timer1Timer();
        const int scans = window->scans;

        ModalDriver::answerNext([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
        window->Button5Click();
        QCOMPARE(window->GameFolder, QDir::toNativeSeparators("/old/game/"));
        QCOMPARE(window->scans, scans);
        QCOMPARE(window->InList->count(), 0);

        QString title;
        bool exeListed = false;
        ModalDriver::answerNext([&](QWidget *widget) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            title = dialog->windowTitle();
            dialog->setDirectory(game);
            // The upper-case program of a Wine install is offered.
            QTest::qWait(300);
            auto *view = dialog->findChild<QAbstractItemView *>("listView");
            for (int row = 0; view && row < view->model()->rowCount(view->rootIndex()); ++row)
                exeListed |= view->model()->index(row, 0, view->rootIndex()).data().toString() == "CFS3.EXE";
            auto *nameEdit = dialog->findChild<QLineEdit *>("fileNameEdit");
            QVERIFY(nameEdit);
            QTest::keyClicks(nameEdit, "CFS3.EXE");
            static_cast<QDialog *>(dialog)->accept();
        });
        window->Button5Click();
        QCOMPARE(title, QString("Locate CFS3.exe"));
        QVERIFY(exeListed);
        QCOMPARE(window->GameFolder, QDir::toNativeSeparators(game + "/"));
        QCOMPARE(window->AircraftFolder, QDir::toNativeSeparators(game + "/Aircraft/"));
        QCOMPARE(window->scans, scans + 1);
        QVERIFY(window->InList->selectedItems().isEmpty());
        QCOMPARE(window->InList->count(), 3);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_MainWindow.moc"
