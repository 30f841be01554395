#include "FaultInjection.h"
#include "IniSettingsStore.h"
#include "ModalDriver.h"
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
    TEditForm *m_editForm = nullptr;

    QString folderOf(const QString &aircraft) { return m_game + "Aircraft/" + aircraft + "/"; }

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
        ModalDriver::answerNext([name, fileName](QWidget *modal) {
            auto *form = qobject_cast<TEditForm *>(modal);
            form->Edit1->setText(name);
            ModalDriver::answerNext([fileName](QWidget *dialog) {
                auto *edit = dialog->findChild<QLineEdit *>("fileNameEdit");
                edit->setText(fileName);
                static_cast<QDialog *>(dialog)->accept();
            });
            form->Button5->click();
        });
        m_window->Button3Click();
    }

private slots:
    void init()
    {
        m_game = m_dir.filePath(QString("%1/").arg(QTest::currentTestFunction()));
        TestGame::addAircraft(m_game, "P51", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"},
                                              {"Arctic", "arctic.dds"}, {"Racer", "racer.dds"}});
        TestGame::addAircraft(m_game, "Zero", {});
        const QString ini = m_dir.filePath(QString("%1.ini").arg(QTest::currentTestFunction()));
        writeFile(ini, "[test_paint_operations]\nCFSPath=" + m_game.toUtf8() + "\n");
        qputenv("WINEPREFIX", m_dir.filePath("no-wine").toLocal8Bit());
        m_window = std::make_unique<TRezidu>(std::make_unique<IniSettingsStore>(ini));
        m_editForm = new TEditForm(m_window.get());
        m_window->setEditForm(m_editForm);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->Timer1Timer();
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
        QCOMPARE(readFile(m_window->BackupPath), QByteArray("original P51"));
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

    void applyingAPaintAndGettingTheOriginalBack()
    {
        selectAircraft("P51");
        clickRow(m_window->OutList, 3);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QCOMPARE(readFile(m_window->MainTexturePath), QByteArray("paint navy.dds"));
        QCOMPARE(m_window->OutList->currentRow(), 0);
        QCOMPARE(m_window->PaintIndex, 0);
        QVERIFY(!m_window->Button2->isEnabled());
        QCOMPARE(previewed(), m_window->MainTexturePath);

        clickRow(m_window->OutList, 1);
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QCOMPARE(readFile(m_window->MainTexturePath), QByteArray("original P51"));
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
        writeFile(folderOf("Zero") + "green.dds", "paint green");
        addPaint("Green Machine", "green"); // the default suffix comes on
        QCOMPARE(rows(m_window->OutList).last(), QString("Green Machine"));
        QCOMPARE(m_window->OutList1->item(2)->text(), folderOf("Zero") + "green.dds");
        QVERIFY(readFile(folderOf("Zero") + "Zero.pnt").contains("Green Machine"));
        QVERIFY(QFile::exists(folderOf("Zero") + "Zero_t.dds.bak"));
        QCOMPARE(m_window->OutList->currentRow(), 0); // the new row is not selected

        // A name may be empty; the prompt itself is a name too.
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
        // An aircraft whose list is a pipe: the scan neither hangs nor lists it.
        TestGame::addAircraft(m_game, "Evil", {});
        const QString evilList = folderOf("Evil") + "Evil.pnt";
        QVERIFY(QFile::remove(evilList));
        QVERIFY(::mkfifo(QFile::encodeName(evilList).constData(), 0600) == 0);
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
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), QByteArray("original P51"));
        QCOMPARE(readFile(outside), QByteArray("the player's own file"));
    }

    void anAddToAListChangedOnDiskKeepsTheChange()
    {
        selectAircraft("Zero");
        const QString list = folderOf("Zero") + "Zero.pnt";
        writeFile(list, TestGame::paintList("Zero", "Zero_t.dds", {{"Typed", "typed.dds"}}));
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
        QSKIP("Windows starts Notepad, whose call win32_shell_tests checks with a stand-in");
#else
        const QString spaced = m_game + "Aircraft/My P51/";
        TestGame::addAircraft(m_game, "My P51", {});
        m_window->ScanAircraft();
        selectAircraft("My P51");
        const QString script = m_dir.filePath("editor.sh");
        const QString out = m_dir.filePath("editor-args.txt");
        writeFile(script, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + out.toUtf8() + "'\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("VISUAL", script.toUtf8());
        QTest::mouseClick(m_window->Button6, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out).size() > 0, 5000);
        QCOMPARE(readFile(out), (spaced + "My P51.pnt\n").toUtf8());
        qunsetenv("VISUAL");
#endif
    }
};

QTEST_MAIN(PaintOperationsTest)
#include "test_paint_operations.moc"
