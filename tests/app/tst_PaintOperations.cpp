#include "AircraftLock.h"
#include "Hangar.h"
#include "FaultInjection.h"
#include "IniSettingsStore.h"
#include "ModalDriver.h"
#include "PaintWindow.h"
#include "TEditForm.h"
#include "TRezidu.h"
#include "TThumbnail.h"
#include "TempTree.h"
#include "TestGame.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using TempTree::readFile;
using TempTree::writeFile;

namespace {

void clickRow(QListWidget *list, int row, Qt::KeyboardModifiers modifiers = {})
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

QStringList rows(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

// Presses a message box's button with the given role and hands back its text.
void answerBox(QString *text, QMessageBox::StandardButton button = QMessageBox::Ok)
{
    ModalDriver::answerNext([text, button](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        if (text)
            *text = box->text();
        box->button(button)->click();
    });
}

} // namespace

class PaintOperationsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_game;
    std::unique_ptr<TRezidu> m_window;

    // As the program gives it: in the system's separators.
    QString folderOf(const QString &aircraft) { return QDir::toNativeSeparators(m_game + "Aircraft/" + aircraft + "/"); }

    void selectAircraft(const QString &title)
    {
        const QList<QListWidgetItem *> found = m_window->InList->findItems(title, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        clickRow(m_window->InList, m_window->InList->row(found.first()));
    }

    QString previewed() const { return m_window->Thumbnail1->property("FileName").toString(); }

    // The player names the paint in the name dialog, then types a file name
    // in the file dialog.
    void addPaint(const QString &name, const QString &fileName)
    {
        PaintWindow::addPaint(*m_window, name, fileName);
    }

private slots:
    void init()
    {
        m_game = m_dir.filePath(QString("%1-%2/").arg(QTest::currentTestFunction(), QTest::currentDataTag()));
        TestGame::addP51AndZero(m_game);
        const QString ini = m_dir.filePath(QString("%1.ini").arg(QTest::currentTestFunction()));
        writeFile(ini, "[tst_app_paint_operations]\nCFSPath=" + m_game.toUtf8() + "\n");
        m_window = PaintWindow::open(ini, m_dir.filePath("no-wine"));
        QVERIFY(m_window);
    }

    void cleanup() { m_window.reset(); }

    void selectingAnAircraftShowsItsPaintsAndBacksUpOnce()
    {
        // The backup rule itself is the paint core's; here, that the
        // window's selection asks for it.
        selectAircraft("P51");
        QCOMPARE(rows(m_window->OutList), (QStringList{"Currently Installed Paint", "Default Paint",
                                                       "Desert", "Navy", "Arctic", "Racer"}));
        QCOMPARE(m_window->MainTexturePath, folderOf("P51") + "P51_t.dds");
        QCOMPARE(m_window->BackupPath, folderOf("P51") + "P51_t.dds.bak");
        QCOMPARE(readFile(m_window->BackupPath), TestGame::texture("original P51"));
        QCOMPARE(m_window->OutList->currentRow(), 0);
        QCOMPARE(previewed(), m_window->MainTexturePath);

        selectAircraft("Zero"); // no paints: no backup
        QCOMPARE(m_window->OutList->count(), 2);
        QVERIFY(!QFile::exists(folderOf("Zero") + "Zero_t.dds.bak"));
    }

    void buttonsAndPreviewFollowTheLowestSelectedRow()
    {
        selectAircraft("P51");
        auto *apply = m_window->Button2;
        auto *remove = m_window->Button4;
        QVERIFY(!apply->isEnabled() && !remove->isEnabled() && m_window->Button3->isEnabled());

        clickRow(m_window->OutList, 1);
        QVERIFY(apply->isEnabled() && !remove->isEnabled());
        QCOMPARE(previewed(), m_window->BackupPath);

        clickRow(m_window->OutList, 5);
        clickRow(m_window->OutList, 3, Qt::ControlModifier);
        QCOMPARE(m_window->PaintIndex, 3);
        QCOMPARE(previewed(), folderOf("P51") + "navy.dds");
        QVERIFY(apply->isEnabled() && remove->isEnabled());

        clickRow(m_window->OutList, 0);
        QVERIFY(!apply->isEnabled() && !remove->isEnabled());

        // Deselecting the last row shows the main texture; the buttons keep
        // the state of the row that was selected before.
        clickRow(m_window->OutList, 4);
        clickRow(m_window->OutList, 4, Qt::ControlModifier);
        QVERIFY(m_window->OutList->selectedItems().isEmpty());
        QCOMPARE(previewed(), m_window->MainTexturePath);
        QCOMPARE(m_window->PaintIndex, 4);
        QVERIFY(apply->isEnabled());
    }

    // A held arrow key repeats faster than large textures load: the list
    // moves at once, and the preview loads only the row it settles on.
    void aHeldKeyPreviewsOnlyTheRowItSettlesOn_data()
    {
        QTest::addColumn<bool>("endWithClick");
        QTest::newRow("key let go") << false;
        QTest::newRow("a click while the preview waits") << true;
    }

    void aHeldKeyPreviewsOnlyTheRowItSettlesOn()
    {
        QFETCH(bool, endWithClick);
        selectAircraft("P51");
        QSignalSpy loads(m_window->Thumbnail1, &TThumbnail::FileNameChanged);
        const auto key = [this](QEvent::Type type, bool repeated) {
            QKeyEvent event(type, Qt::Key_Down, Qt::NoModifier, QString(), repeated);
            QCoreApplication::sendEvent(m_window->OutList, &event);
        };

        // The first press is the only event: loaded before it returns.
        key(QEvent::KeyPress, false);
        QCOMPARE(m_window->OutList->currentRow(), 1);
        QCOMPARE(previewed(), m_window->BackupPath);
        for (int repeat = 0; repeat < 3; ++repeat) {
            key(QEvent::KeyRelease, true);
            key(QEvent::KeyPress, true);
        }
        QCOMPARE(m_window->OutList->currentRow(), 4);
        QCOMPARE(m_window->PaintIndex, 4);
        QCOMPARE(previewed(), m_window->BackupPath);

        QString settled = folderOf("P51") + "arctic.dds";
        if (endWithClick) {
            clickRow(m_window->OutList, 2);
            settled = folderOf("P51") + "desert.dds";
            QCOMPARE(previewed(), settled);
        } else {
            key(QEvent::KeyRelease, false);
        }
        QTRY_COMPARE(previewed(), settled);
        QTest::qWait(50); // nothing else may follow
        QStringList loaded;
        for (const QList<QVariant> &load : std::as_const(loads))
            if (!load.first().toString().isEmpty())
                loaded << load.first().toString();
        QCOMPARE(loaded, (QStringList{m_window->BackupPath, settled}));
    }

    // Moving through the aircraft with a held key: the list moves at once,
    // and only the aircraft it settles on is loaded, with its paints and its
    // preview. A click elsewhere acts on that aircraft, never on rows passed.
    void aHeldKeyLoadsOnlyTheAircraftItSettlesOn_data()
    {
        QTest::addColumn<bool>("endWithClick");
        QTest::newRow("key let go") << false;
        QTest::newRow("a paint row clicked while the load waits") << true;
    }

    void aHeldKeyLoadsOnlyTheAircraftItSettlesOn()
    {
        QFETCH(bool, endWithClick);
        TestGame::addAircraft(m_game, "Hurricane", {});
        TestGame::addAircraft(m_game, "Spitfire", {{"Malta", "malta.dds"}});
        TestGame::addAircraft(m_game, "Yak", {{"Winter", "winter.dds"}});
        m_window->ScanAircraft();
        QCOMPARE(rows(m_window->InList), (QStringList{"Hurricane", "P51", "Spitfire", "Yak", "Zero"}));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        selectAircraft("Hurricane");
        m_window->InList->setFocus();
        QSignalSpy loads(m_window->Thumbnail1, &TThumbnail::FileNameChanged);
        const auto key = [this](QEvent::Type type, bool repeated) {
            QKeyEvent event(type, Qt::Key_Down, Qt::NoModifier, QString(), repeated);
            QCoreApplication::sendEvent(m_window->InList, &event);
        };

        // The first press is the only event: loaded before it returns.
        key(QEvent::KeyPress, false);
        QCOMPARE(m_window->AircraftIndex, 1);
        QCOMPARE(rows(m_window->OutList).last(), QString("Racer"));
        for (int repeat = 0; repeat < 2; ++repeat) {
            key(QEvent::KeyRelease, true);
            key(QEvent::KeyPress, true);
        }
        QCOMPARE(m_window->InList->currentRow(), 3);
        QCOMPARE(m_window->AircraftIndex, 1); // still the P51's rows, and it says so

        const QString yak = folderOf("Yak") + "Yak_t.dds";
        QStringList expected{"P51_t.dds", "Yak_t.dds"};
        if (endWithClick) {
            clickRow(m_window->OutList, 1); // the Yak's "Default Paint"
            QCOMPARE(m_window->AircraftIndex, 3);
            QCOMPARE(m_window->PaintIndex, 1);
            QCOMPARE(previewed(), yak + ".bak");
            expected << "Yak_t.dds.bak";
        } else {
            key(QEvent::KeyRelease, false);
            QTRY_COMPARE(m_window->AircraftIndex, 3);
            QCOMPARE(previewed(), yak);
        }
        QCOMPARE(rows(m_window->OutList), (QStringList{"Currently Installed Paint", "Default Paint", "Winter"}));
        QCOMPARE(m_window->MainTexturePath, yak);
        QTest::qWait(50); // nothing else may follow
        QStringList loaded;
        for (const QList<QVariant> &load : std::as_const(loads))
            if (!load.first().toString().isEmpty())
                loaded << QFileInfo(load.first().toString()).fileName();
        QCOMPARE(loaded, expected);
    }

    // Whatever the player did, the rows shown and the paths behind them are
    // the aircraft and paints as the files hold them.
    void theListsShowWhatTheFilesHold_data()
    {
        QTest::addColumn<QString>("operation");
        for (const char *operation : {"select", "apply", "add", "remove", "change outside", "rescan"})
            QTest::newRow(operation) << QString(operation);
    }

    void theListsShowWhatTheFilesHold()
    {
        QFETCH(QString, operation);
        selectAircraft(operation == "add" ? "Zero" : "P51");
        if (operation == "apply") {
            clickRow(m_window->OutList, 3);
            m_window->Button2Click();
        } else if (operation == "add") {
            writeFile(folderOf("Zero") + "green.dds", TestGame::texture("paint green"));
            addPaint("Green", "green.dds");
        } else if (operation == "remove") {
            clickRow(m_window->OutList, 3);
            answerBox(nullptr, QMessageBox::Ok);
            m_window->Button4Click();
        } else if (operation == "change outside") {
            Hangar other(m_game);
            other.scan(Hangar::ListCreation::ReadOnly);
            QVERIFY(other.select(other.find("P51").first()));
            QVERIFY(other.remove(2));
            QTRY_COMPARE(m_window->OutList->count(), 5);
        } else if (operation == "rescan") {
            TestGame::addAircraft(m_game, "Yak", {});
            m_window->ScanAircraft();
        }

        Hangar files(QDir::toNativeSeparators(m_game));
        files.scan(Hangar::ListCreation::ReadOnly);
        QStringList titles, lists;
        for (const AircraftEntry &aircraft : files.aircraft()) {
            titles << aircraft.title;
            lists << aircraft.paintListPath;
        }
        QCOMPARE(rows(m_window->InList), titles);
        QCOMPARE(rows(m_window->InList1), lists);
        QStringList texts, paths;
        if (operation != "rescan") { // a rescan shows no aircraft's paints
            QVERIFY(files.select(m_window->AircraftIndex));
            for (int row = 0; row < files.paintTable().rowCount(); ++row) {
                texts << files.paintTable().displayText(row);
                paths << files.paintTable().texturePath(row);
            }
            QCOMPARE(m_window->MainTexturePath, files.paintTable().mainTexturePath());
            QCOMPARE(m_window->BackupPath, files.paintTable().backupPath());
        }
        QCOMPARE(rows(m_window->OutList), texts);
        QCOMPARE(rows(m_window->OutList1), paths);
    }

    // The program ends while a held key's load waits: nothing of the window
    // is used once it is gone.
    void closingWhileALoadWaits()
    {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        selectAircraft("P51");
        m_window->OutList->setFocus();
        for (bool repeated : {false, true, true}) {
            QKeyEvent event(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), repeated);
            QCoreApplication::sendEvent(m_window->OutList, &event);
        }
        QCOMPARE(m_window->OutList->currentRow(), 3);
        QSignalSpy loads(m_window->Thumbnail1, &TThumbnail::FileNameChanged);
        m_window.reset();
        QTest::qWait(30);
        QCOMPARE(loads.count(), 0);
    }

    void applyingAPaintAndGettingTheOriginalBack()
    {
        selectAircraft("P51");
        clickRow(m_window->OutList, 3);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QCOMPARE(readFile(m_window->MainTexturePath), TestGame::texture("paint navy.dds"));
        QCOMPARE(m_window->OutList->currentRow(), 0);
        QCOMPARE(m_window->PaintIndex, 0);
        QVERIFY(!m_window->Button2->isEnabled());
        QCOMPARE(previewed(), m_window->MainTexturePath);

        clickRow(m_window->OutList, 1);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QCOMPARE(readFile(m_window->MainTexturePath), TestGame::texture("original P51"));
    }

    void anUpdatedAircraftIsAskedAbout_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("keep");
        QTest::newRow("apply and keep") << 2 << true;
        QTest::newRow("apply and refuse") << 2 << false;
        QTest::newRow("restore and keep") << 1 << true;
        QTest::newRow("restore and refuse") << 1 << false;
    }

    void anUpdatedAircraftIsAskedAbout()
    {
        QFETCH(int, row);
        QFETCH(bool, keep);
        selectAircraft("P51");
        clickRow(m_window->OutList, 3);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton); // Navy; the original is backed up
        const QByteArray updated = TestGame::texture("updated P51");
        writeFile(m_window->MainTexturePath, updated);
        const QByteArray backup = readFile(m_window->BackupPath);
        const QByteArray list = readFile(folderOf("P51") + "P51.pnt");

        QString asked;
        QString told;
        answerBox(&asked, keep ? QMessageBox::Yes : QMessageBox::No);
        if (keep)
            QTimer::singleShot(300, [&] { answerBox(&told); }); // what became of the old original
        clickRow(m_window->OutList, row);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QCOMPARE(asked, QString("The main texture of P51 changed outside Corvane, perhaps by an update of the aircraft. "
                                "Keep it as the new original?"));
        if (!keep) {
            QCOMPARE(readFile(m_window->MainTexturePath), updated);
            QCOMPARE(readFile(m_window->BackupPath), backup);
            QCOMPARE(readFile(folderOf("P51") + "P51.pnt"), list);
            QCOMPARE(m_window->OutList->count(), 6);
            return;
        }
        QTRY_VERIFY(!told.isEmpty());
        QCOMPARE(readFile(m_window->BackupPath), updated);
        QCOMPARE(readFile(m_window->BackupPath + ".1"), backup);
        QCOMPARE(readFile(m_window->MainTexturePath), row == 1 ? updated : TestGame::texture("paint desert.dds"));
        QCOMPARE(m_window->OutList->count(), 7);
        QVERIFY(m_window->OutList->item(6)->text().startsWith("Original before "));
        QVERIFY2(told.contains(m_window->OutList->item(6)->text()), qPrintable(told));
    }

    void changesMadeOutsideTheWindowAreShown()
    {
        selectAircraft("P51");
        clickRow(m_window->OutList, 2);
        // The command line (or another window) adds a paint and applies one.
        Hangar other(m_game);
        other.scan(Hangar::ListCreation::ReadOnly);
        QVERIFY(other.select(other.find("P51").first()));
        QVERIFY(other.add("Added outside", "racer.dds"));
        QTRY_COMPARE(m_window->OutList->count(), 7);
        QCOMPARE(m_window->OutList->item(6)->text(), QString("Added outside"));
        QCOMPARE(m_window->PaintIndex, 2); // the player's row stays
        QVERIFY(m_window->OutList->item(2)->isSelected());

        QVERIFY(other.apply(4));
        QTRY_VERIFY(m_window->OutList->item(4)->font().bold());
        QVERIFY(!m_window->OutList->item(1)->font().bold());
    }

    void aFailedApplyIsTold()
    {
        selectAircraft("P51");
        QVERIFY(QFile::remove(folderOf("P51") + "racer.dds"));
        clickRow(m_window->OutList, 5);
        QString told;
        answerBox(&told);
        m_window->Button2Click();
        QVERIFY2(told.contains("racer.dds"), qPrintable(told));
        QCOMPARE(m_window->OutList->currentRow(), 0);
    }

    void addingAPaintRewritesTheListAndMakesTheFirstBackup()
    {
        selectAircraft("Zero");
        writeFile(folderOf("Zero") + "green.dds", TestGame::texture("paint green"));
        addPaint("Green Machine", "green"); // the default suffix comes on
        QCOMPARE(rows(m_window->OutList).last(), QString("Green Machine"));
        QCOMPARE(m_window->OutList1->item(2)->text(), folderOf("Zero") + "green.dds");
        QVERIFY(readFile(folderOf("Zero") + "Zero.pnt").contains("Green Machine"));
        QVERIFY(QFile::exists(folderOf("Zero") + "Zero_t.dds.bak"));
        QCOMPARE(m_window->OutList->currentRow(), 0); // the new row is not selected

        // A name may be empty; the prompt itself is a name too.
        writeFile(folderOf("Zero") + "empty.dds", TestGame::texture("paint empty"));
        addPaint("", "empty.dds");
        QCOMPARE(rows(m_window->OutList).last(), QString());
    }

    void namesThatWouldCorruptTheListAreRefused()
    {
        selectAircraft("P51");
        const QByteArray before = readFile(folderOf("P51") + "P51.pnt");
        QString told;
        ModalDriver::answerNext([&told](QWidget *modal) {
            auto *form = qobject_cast<TEditForm *>(modal);
            form->Edit1->setText(";not a name");
            // The refusal comes after the dialog has closed, before any file
            // dialog.
            answerBox(&told);
            form->Button5->click();
        });
        m_window->Button3Click();
        QVERIFY2(told.contains("\";\""), qPrintable(told));
        QCOMPARE(readFile(folderOf("P51") + "P51.pnt"), before);
        QCOMPARE(m_window->OutList->count(), 6);
    }

    void removingAPaint()
    {
        selectAircraft("P51");
        const QString list = folderOf("P51") + "P51.pnt";
        const QByteArray before = readFile(list);
        clickRow(m_window->OutList, 5);
        clickRow(m_window->OutList, 3, Qt::ControlModifier);

        QString asked;
        answerBox(&asked, QMessageBox::Cancel);
        m_window->Button4Click();
        QCOMPARE(asked, QString("This will delete the current Entry"));
        QCOMPARE(readFile(list), before);

        answerBox(nullptr, QMessageBox::Ok);
        m_window->Button4Click();
        QCOMPARE(rows(m_window->OutList), (QStringList{"Currently Installed Paint", "Default Paint",
                                                       "Desert", "Arctic", "Racer"}));
        QVERIFY(!readFile(list).contains("Navy"));
        // The selection starts over, so no index names a removed row.
        QCOMPARE(m_window->PaintIndex, 0);
        QVERIFY(!m_window->Button2->isEnabled() && !m_window->Button4->isEnabled());

        clickRow(m_window->OutList, 1);
        answerBox(nullptr, QMessageBox::Ok);
        m_window->Button4Click();
        QCOMPARE(m_window->OutList->count(), 5);
    }

    void aListThatCannotBeSavedIsReloaded()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has no file size limit to make the disk seem full");
#else
        selectAircraft("P51");
        const QString list = folderOf("P51") + "P51.pnt";
        const QByteArray before = readFile(list);
        clickRow(m_window->OutList, 2);
        QString told;
        answerBox(nullptr, QMessageBox::Ok); // the confirmation
        {
            // Taken before the disk fills, so the list's write is what fails.
            AircraftLock held(folderOf("P51"));
            QVERIFY(held.acquire());
            FaultInjection::FileSizeLimit diskFull(40);
            QTimer::singleShot(0, [&] { answerBox(&told); });
            m_window->Button4Click();
        }
        QVERIFY2(told.contains("P51.pnt"), qPrintable(told));
        QCOMPARE(readFile(list), before);
        QCOMPARE(m_window->OutList->count(), 6); // what the file holds
#endif
    }

    void hostileFilesAreToldAndLeftAlone()
    {
#ifdef Q_OS_WIN
        QSKIP("needs a named pipe and a link the file system follows");
#endif
        // An aircraft whose list is a pipe: the scan neither hangs nor lists it.
        TestGame::addAircraft(m_game, "Evil", {});
        const QString evilList = folderOf("Evil") + "Evil.pnt";
        QVERIFY(QFile::remove(evilList));
#ifndef Q_OS_WIN
        QVERIFY(::mkfifo(QFile::encodeName(evilList).constData(), 0600) == 0);
#endif
        QString told;
        answerBox(&told);
        m_window->ScanAircraft();
        QVERIFY2(told.contains(QDir::toNativeSeparators(evilList) + " is not a regular file"), qPrintable(told));
        QVERIFY(m_window->InList->findItems("Evil", Qt::MatchExactly).isEmpty());

        // A paint that is a link out of the folder is neither previewed nor applied.
        const QString outside = m_dir.filePath("outside.dds");
        writeFile(outside, "the player's own file");
        QVERIFY(QFile::remove(folderOf("P51") + "desert.dds"));
        QVERIFY(QFile::link(outside, folderOf("P51") + "desert.dds"));
        selectAircraft("P51");
        clickRow(m_window->OutList, 2);
        QCOMPARE(previewed(), QString());
        told.clear();
        answerBox(&told);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QVERIFY2(told.contains("is a link to a file outside the aircraft folder"), qPrintable(told));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("original P51"));
        QCOMPARE(readFile(outside), QByteArray("the player's own file"));
    }

    void anAddToAListChangedOnDiskKeepsTheChange()
    {
        selectAircraft("Zero");
        const QString list = folderOf("Zero") + "Zero.pnt";
        writeFile(list, TestGame::paintList("Zero", "Zero_t.dds", {{"Typed", "typed.dds"}}));
        writeFile(folderOf("Zero") + "new.dds", TestGame::texture("paint new")); // a missing file is refused before any save
        QString told;
        ModalDriver::answerNext([&told](QWidget *modal) {
            auto *form = qobject_cast<TEditForm *>(modal);
            form->Edit1->setText("New");
            ModalDriver::answerNext([&told](QWidget *dialog) {
                dialog->findChild<QLineEdit *>("fileNameEdit")->setText("new.dds");
                answerBox(&told);
                static_cast<QDialog *>(dialog)->accept();
            });
            form->Button5->click();
        });
        m_window->Button3Click();
        QVERIFY2(told.contains("changed on disk"), qPrintable(told));
        QCOMPARE(rows(m_window->OutList), (QStringList{"Currently Installed Paint", "Default Paint", "Typed", "New"}));
        QCOMPARE(readFile(list), TestGame::paintList("Zero", "Zero_t.dds", {{"Typed", "typed.dds"}, {"New", "new.dds"}}));
    }

    void paintRowsNeverOutliveTheirAircraft()
    {
        selectAircraft("P51");
        // The list of the next aircraft cannot be read.
        QVERIFY(QFile::remove(folderOf("Zero") + "Zero.pnt"));
        QVERIFY(QDir().mkpath(folderOf("Zero") + "Zero.pnt"));
        QString told;
        answerBox(&told);
        selectAircraft("Zero");
        QVERIFY2(told.endsWith("Zero.pnt is not a regular file"), qPrintable(told));
        QCOMPARE(m_window->OutList->count(), 0);
        QVERIFY(!m_window->Button2->isEnabled() && !m_window->Button3->isEnabled() && !m_window->Button4->isEnabled());
        QCOMPARE(previewed(), QString());
        m_window->Button3Click(); // nothing to add to
        QVERIFY(QFileInfo(folderOf("Zero") + "Zero.pnt").isDir());

        // A rescan forgets the rows until an aircraft is picked.
        selectAircraft("P51");
        ModalDriver::answerNext([this](QWidget *dialog) {
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(m_game + "cfs3.exe");
            answerBox(nullptr); // the scan tells of the list it left alone
            static_cast<QDialog *>(dialog)->accept();
        });
        m_window->Button5Click();
        QCOMPARE(m_window->OutList->count(), 0);
        QVERIFY(!m_window->Button3->isEnabled());
        QVERIFY(m_window->InList->selectedItems().isEmpty());
        selectAircraft("P51");
        QCOMPARE(m_window->OutList->count(), 6);
    }

    void editingTheListStartsTheEditorWithThePathAsOneArgument()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows starts Notepad, whose call tst_win32_shell checks with a stand-in");
#else
        const QString spaced = m_game + "Aircraft/My P51/";
        TestGame::addAircraft(m_game, "My P51", {});
        m_window->ScanAircraft();
        selectAircraft("My P51");
        // Only a fake editor on the PATH, so the test never starts a real one.
        const QString bin = m_dir.filePath("editor-bin");
        const QString out = m_dir.filePath("editor-args.txt");
        writeFile(bin + "/gedit", "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + out.toUtf8() + "'\n");
        QFile::setPermissions(bin + "/gedit", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit());
        QTest::mouseClick(m_window->Button6, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out).size() > 0, 5000);
        QCOMPARE(readFile(out), (spaced + "My P51.pnt\n").toUtf8());

        // With no editor at all the player is told where the list is.
        QFile::remove(bin + "/gedit");
        QString told;
        answerBox(&told);
        QTest::mouseClick(m_window->Button6, Qt::LeftButton);
        qputenv("PATH", path);
        QVERIFY2(told.contains(QDir::toNativeSeparators(spaced + "My P51.pnt")), qPrintable(told));
#endif
    }

    void theInstalledPaintIsBold()
    {
        auto bold = [this] {
            QStringList rowsInBold;
            for (int row = 0; row < m_window->OutList->count(); ++row)
                if (m_window->OutList->item(row)->font().bold())
                    rowsInBold << m_window->OutList->item(row)->text();
            return rowsInBold;
        };
        selectAircraft("P51");
        QCOMPARE(bold(), QStringList{"Default Paint"});
        clickRow(m_window->OutList, 3);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QCOMPARE(bold(), QStringList{"Navy"});

        // A paint added as a copy of what is on finds it as well.
        writeFile(folderOf("P51") + "navy2.dds", readFile(folderOf("P51") + "navy.dds"));
        addPaint("Navy again", "navy2.dds");
        QCOMPARE(bold(), QStringList{"Navy"});

        // Changed behind the window's back: seen at the next selection.
        writeFile(folderOf("P51") + "P51_t.dds", TestGame::texture("paint racer.dds"));
        selectAircraft("Zero"); // no paints, so no backup to compare with
        QCOMPARE(bold(), QStringList{});
        selectAircraft("P51");
        QCOMPARE(bold(), QStringList{"Racer"});
    }

    void aListWithoutMainTextureIsMendedByAskingAgain()
    {
        const QString folder = folderOf("Bare");
        writeFile(folder + "Bare.xdp", "<aircraft/>");
        writeFile(folder + "Bare_skin.dds", TestGame::texture("original Bare"));
        writeFile(folder + "green.dds", TestGame::texture("paint green"));
        writeFile(folder + "Bare.pnt", TestGame::paintList("Bare", "", {{"Green", "green.dds"}}));
        m_window->ScanAircraft();

        // Selected the first time: the question comes back; cancelled.
        QString asked;
        ModalDriver::answerNext([&](QWidget *box) {
            asked = qobject_cast<QMessageBox *>(box)->windowTitle();
            ModalDriver::answerNext([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
        });
        selectAircraft("Bare");
        QCOMPARE(asked, QString("Bare"));
        QVERIFY(m_window->Thumbnail1->HintText().contains("names no main texture"));
        QVERIFY(!m_window->Thumbnail1->HasPicture());

        // Apply refuses, saying why and how to mend it.
        clickRow(m_window->OutList, 2);
        QString told;
        answerBox(&told);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QVERIFY2(told.contains("names no main texture") && told.contains("line 5"), qPrintable(told));
        QCOMPARE(readFile(folder + "green.dds"), TestGame::texture("paint green"));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 4);

        // Not asked again until the next scan.
        selectAircraft("P51");
        QVERIFY(m_window->Thumbnail1->HintText().isEmpty());
        bool askedAgain = false;
        ModalDriver::answerNext([&](QWidget *modal) {
            askedAgain = true;
            modal->close();
            ModalDriver::answerNext([](QWidget *dialog) { dialog->close(); }, 2000);
        }, 300);
        selectAircraft("Bare");
        QTest::qWait(400);
        QVERIFY(!askedAgain);

        m_window->ScanAircraft();
        ModalDriver::answerNext([&](QWidget *box) {
            ModalDriver::answerNext([&](QWidget *dialog) {
                auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
                edit->setText(folder + "Bare_skin.dds");
                static_cast<QDialog *>(dialog)->accept();
            });
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
        });
        selectAircraft("Bare");
        QCOMPARE(m_window->MainTexturePath, folder + "Bare_skin.dds");
        QVERIFY(m_window->Thumbnail1->HintText().isEmpty());
        QCOMPARE(readFile(folder + "Bare.pnt"), TestGame::paintList("Bare", "Bare_skin.dds", {{"Green", "green.dds"}}));
        QCOMPARE(readFile(folder + "Bare_skin.dds.bak"), TestGame::texture("original Bare"));
    }
};

QTEST_MAIN(PaintOperationsTest)
#include "tst_PaintOperations.moc"
