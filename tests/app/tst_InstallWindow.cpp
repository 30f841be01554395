#include "AircraftLock.h"
#include "ModalDriver.h"
#include "PaintWindow.h"
#include "TEditForm.h"
#include "TInstallForm.h"
#include "TRezidu.h"
#include "TempTree.h"
#include "TestArchive.h"
#include "TestGame.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using TempTree::readFile;
using TempTree::writeFile;

namespace {

QStringList rows(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

void answerBox(QString *text)
{
    ModalDriver::answerNext([text](QWidget *modal) {
        if (qobject_cast<QProgressDialog *>(modal)) { // the work before the box is still going on
            answerBox(text);
            return;
        }
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        if (text)
            *text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
}

// Files dropped from a file manager arrive as file URLs. The window answers
// once the drop is over, so the sender is never held up by its dialogs.
void dropFiles(QWidget *target, const QPoint &at, const QStringList &paths, bool *dropOver = nullptr)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    if (dropOver)
        *dropOver = true;
    QCoreApplication::processEvents();
}

} // namespace

class InstallWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_game;
    std::unique_ptr<TRezidu> m_window;

    // As the program gives it: in the system's separators.
    QString folderOf(const QString &aircraft) { return QDir::toNativeSeparators(m_game + "Aircraft/" + aircraft + "/"); }
    QString download(const QString &name) { return m_dir.filePath("Downloads/" + name); }

    void selectAircraft(const QString &title)
    {
        const QList<QListWidgetItem *> found = m_window->InList->findItems(title, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        const QRect rect = m_window->InList->visualItemRect(found.first());
        QTest::mouseClick(m_window->InList->viewport(), Qt::LeftButton, {}, rect.center());
    }

    void pickForNewPaint(const QString &name, const QString &path, std::function<void()> next = {})
    {
        PaintWindow::addPaint(*m_window, name, path, next);
    }

private slots:
    void init()
    {
        m_game = m_dir.filePath(QString("%1/").arg(QTest::currentTestFunction()));
        TestGame::addAircraft(m_game, "P51", {{"Desert", "desert.dds"}});
        TestGame::addAircraft(m_game, "Zero", {});
        const QString ini = m_dir.filePath(QString("%1.ini").arg(QTest::currentTestFunction()));
        writeFile(ini, "[tst_app_install_window]\nCFSPath=" + m_game.toUtf8() + "\n");
        m_window = PaintWindow::open(ini, m_dir.filePath("no-wine"));
        QVERIFY(m_window);
        selectAircraft("P51");
    }

    void cleanup() { m_window.reset(); }

    void droppingAnArchiveInstallsAfterThePlan()
    {
        const QString zip = download("two_paints.zip");
        QVERIFY(QDir().mkpath(QFileInfo(zip).path()));
        QVERIFY(TestArchive::write(zip, TestArchive::Format::Zip,
                                   {{"P51/p51_red_tail.dds", "DDS red tail"},
                                    {"zero_green.dds", "DDS green"},
                                    {"readme.txt", "have fun"}}));
        QString report;
        QStringList planned, skipped;
        bool dropOver = false, planAfterDrop = false;
        ModalDriver::answerNext([&](QWidget *modal) {
            auto *form = qobject_cast<TInstallForm *>(modal);
            QVERIFY(form);
            planAfterDrop = dropOver;
            for (int row = 0; row < form->PlanTable->rowCount(); ++row) {
                planned << form->PlanTable->item(row, TInstallForm::TextureColumn)->text() + " > "
                               + form->aircraftChooser(row)->currentText() + " > "
                               + form->PlanTable->item(row, TInstallForm::NameColumn)->text();
            }
            skipped = form->SkippedList->toPlainText().split('\n');
            answerBox(&report);
            QTest::mouseClick(form->InstallButton, Qt::LeftButton);
        });
        // On the preview, not the paint rows: each texture finds its aircraft.
        dropFiles(m_window.get(), QPoint(400, 100), {zip}, &dropOver);
        QVERIFY(planAfterDrop);

        // The aircraft's own name says nothing in its own list.
        QCOMPARE(planned, (QStringList{"P51/p51_red_tail.dds > P51 > Red Tail", "zero_green.dds > Zero > Green"}));
        QCOMPARE(skipped, QStringList{""});
        QVERIFY2(report.contains("P51: added Red Tail") && report.contains("Zero: added Green"), qPrintable(report));
        QCOMPARE(rows(m_window->OutList),
                 (QStringList{"Currently Installed Paint", "Default Paint", "Desert", "Red Tail"}));
        QCOMPARE(m_window->OutList1->item(3)->text(), folderOf("P51") + "Red_Tail.dds");
        // The read-me of the download went with each paint it lies above.
        QCOMPARE(m_window->OutList->item(3)->toolTip(), QString("have fun"));
        QCOMPARE(m_window->OutList->item(2)->toolTip(), QString());
        QCOMPARE(readFile(folderOf("Zero") + "Green.dds"), QByteArray("DDS green"));
        QCOMPARE(readFile(folderOf("Zero") + "Green.txt"), QByteArray("have fun\r\n"));
        QCOMPARE(readFile(folderOf("Zero") + "Zero.pnt"),
                 TestGame::paintList("Zero", "Zero_t.dds", {{"Green", "Green.dds"}}));
        QCOMPARE(readFile(folderOf("Zero") + "Zero_t.dds.bak"), TestGame::texture("original Zero"));
    }

    // The install runs beside the window's event loop: while another writer
    // holds the aircraft, the window keeps turning (a timer of its fires)
    // and the install waits for that writer, then ends as it would have.
    void installingLeavesTheWindowsEventLoopTurning()
    {
        const QString sevenZip = download("red_tail.7z");
        QVERIFY(QDir().mkpath(QFileInfo(sevenZip).path()));
        QVERIFY(TestArchive::write(sevenZip, TestArchive::Format::SevenZip,
                                   {{"P51/p51_red_tail.dds", "DDS red tail"}}));
        const QString listPath = m_game + "Aircraft/P51/P51.pnt";
        const QByteArray listBefore = readFile(listPath);
        std::unique_ptr<AircraftLock> otherWriter;
        bool listUntouchedWhileHeld = false, timerFired = false;
        QTimer otherWriterDone;
        otherWriterDone.setSingleShot(true);
        connect(&otherWriterDone, &QTimer::timeout, this, [&] {
            timerFired = true;
            listUntouchedWhileHeld = readFile(listPath) == listBefore;
            otherWriter.reset();
        });
        QString report;
        ModalDriver::answerNext([&](QWidget *modal) {
            auto *form = qobject_cast<TInstallForm *>(modal);
            QVERIFY(form);
            otherWriter = std::make_unique<AircraftLock>(m_game + "Aircraft/P51/");
            QVERIFY(otherWriter->acquire(0));
            otherWriterDone.start(50);
            answerBox(&report);
            QTest::mouseClick(form->InstallButton, Qt::LeftButton);
        });
        dropFiles(m_window.get(), QPoint(400, 100), {sevenZip});

        QVERIFY(timerFired);
        QVERIFY(listUntouchedWhileHeld);
        QVERIFY2(report.contains("P51: added Red Tail"), qPrintable(report));
        QCOMPARE(rows(m_window->OutList),
                 (QStringList{"Currently Installed Paint", "Default Paint", "Desert", "Red Tail"}));
        QCOMPARE(readFile(folderOf("P51") + "Red_Tail.dds"), QByteArray("DDS red tail"));
    }

    // An install that waits shows its progress; cancelled, the dialog stays
    // until the worker has stopped, and nothing more is installed.
    void cancellingTheProgressDialogStopsTheInstall()
    {
        const QString zip = download("tails.zip");
        QVERIFY(QDir().mkpath(QFileInfo(zip).path()));
        QVERIFY(TestArchive::write(zip, TestArchive::Format::Zip,
                                   {{"P51/p51_red_tail.dds", "DDS red tail"}, {"P51/p51_blue_tail.dds", "DDS blue"}}));
        const QString listPath = m_game + "Aircraft/P51/P51.pnt";
        const QByteArray listBefore = readFile(listPath);
        std::unique_ptr<AircraftLock> otherWriter;
        QString report;
        bool progressShown = false, staysWhileWorking = false;
        ModalDriver::answerNext([&](QWidget *modal) {
            auto *form = qobject_cast<TInstallForm *>(modal);
            QVERIFY(form);
            otherWriter = std::make_unique<AircraftLock>(m_game + "Aircraft/P51/");
            QVERIFY(otherWriter->acquire(0));
            // The install waits for the other writer: its progress shows.
            ModalDriver::answerNext([&](QWidget *progressModal) {
                auto *progress = qobject_cast<QProgressDialog *>(progressModal);
                progressShown = progress != nullptr;
                QVERIFY(progress);
                const QList<QPushButton *> buttons = progress->findChildren<QPushButton *>();
                QCOMPARE(buttons.size(), 1);
                QTest::mouseClick(buttons.first(), Qt::LeftButton);
                staysWhileWorking = progress->isVisible() && QApplication::activeModalWidget() == progress;
                answerBox(&report);
                otherWriter.reset();
            });
            QTest::mouseClick(form->InstallButton, Qt::LeftButton);
        });
        dropFiles(m_window.get(), QPoint(400, 100), {zip});

        QVERIFY(progressShown);
        QVERIFY(staysWhileWorking);
        QVERIFY2(report.contains("cancelled"), qPrintable(report));
        QCOMPARE(readFile(listPath), listBefore);
        QCOMPARE(rows(m_window->OutList), (QStringList{"Currently Installed Paint", "Default Paint", "Desert"}));
        QVERIFY(!QFile::exists(folderOf("P51") + "Red_Tail.dds"));
    }

    // A picture that cannot become a texture: the plan says why, and the
    // player may still take it as it is.
    void aPictureThatCannotBeMadeIntoATextureIsThePlayersChoice()
    {
        const QString zip = download("picture.zip");
        QVERIFY(QDir().mkpath(QFileInfo(zip).path()));
        QVERIFY(TestArchive::write(zip, TestArchive::Format::Zip,
                                   {{"P51/Silver.png", QByteArray("\x89PNG\r\n\x1a\n", 8) + "rest of a picture"}}));
        QString shown;
        ModalDriver::answerNext([&](QWidget *modal) {
            auto *form = qobject_cast<TInstallForm *>(modal);
            QVERIFY(form);
            QTableWidgetItem *picture = form->PlanTable->item(0, TInstallForm::PictureColumn);
            shown = picture->text() + " / " + picture->toolTip();
            QCOMPARE(form->PlanTable->item(0, TInstallForm::TextureColumn)->checkState(), Qt::Unchecked);
            QVERIFY(!form->InstallButton->isEnabled());
            picture->setCheckState(Qt::Unchecked);
            form->PlanTable->item(0, TInstallForm::TextureColumn)->setCheckState(Qt::Checked);
            answerBox(nullptr);
            form->InstallButton->click();
        });
        m_window->installDownloads({zip}, -1);
        QVERIFY2(shown.startsWith("cannot make DDS / cannot be made into a DDS texture: "),
                 qPrintable(shown));
        QCOMPARE(readFile(folderOf("P51") + "Silver.png").left(4), QByteArray("\x89PNG"));
        QCOMPARE(rows(m_window->OutList).last(), QString("Silver"));
    }

    void droppingOnThePaintRowsTakesTheShownAircraftAndCancelWritesNothing()
    {
        const QString loose = download("sand.dds");
        QVERIFY(writeFile(loose, "DDS sand"));
        const QByteArray list = readFile(folderOf("P51") + "P51.pnt");
        QString aircraft;
        bool couldInstall = false, canInstallWithout = true;
        ModalDriver::answerNext([&](QWidget *modal) {
            auto *form = qobject_cast<TInstallForm *>(modal);
            QVERIFY(form);
            aircraft = form->aircraftChooser(0)->currentText();
            couldInstall = form->InstallButton->isEnabled();
            form->aircraftChooser(0)->setCurrentIndex(0); // "(no aircraft)"
            canInstallWithout = form->InstallButton->isEnabled();
            form->CancelButton->click();
        });
        const QPoint onPaints = m_window->OutList->geometry().center();
        dropFiles(m_window.get(), onPaints, {loose});
        QCOMPARE(aircraft, QString("P51"));
        QVERIFY(couldInstall);
        QVERIFY(!canInstallWithout);
        QVERIFY(!QFile::exists(folderOf("P51") + "sand.dds"));
        QCOMPARE(readFile(folderOf("P51") + "P51.pnt"), list);
        QCOMPARE(m_window->OutList->count(), 3);
    }

    void addingATextureFromElsewhereCopiesIt()
    {
        const QString elsewhere = download("navy.dds");
        QVERIFY(writeFile(elsewhere, "DDS navy"));
        pickForNewPaint("Navy", elsewhere);
        QCOMPARE(readFile(folderOf("P51") + "navy.dds"), QByteArray("DDS navy"));
        QCOMPARE(m_window->OutList1->item(3)->text(), folderOf("P51") + "navy.dds");
        QVERIFY(QFile::exists(elsewhere)); // copied, not moved

        // The same texture again is simply used.
        pickForNewPaint("Navy again", elsewhere);
        QCOMPARE(m_window->OutList1->item(4)->text(), folderOf("P51") + "navy.dds");
        QCOMPARE(QDir(folderOf("P51")).entryList({"navy*"}, QDir::Files).size(), 1);
    }

    void aDifferentFileOfTheNameIsNeverOverwritten()
    {
        const QString elsewhere = download("desert.dds");
        QVERIFY(writeFile(elsewhere, "DDS another desert"));
        QString told, proposed;
        pickForNewPaint("Other desert", elsewhere, [&] {
            ModalDriver::answerNext([&](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                QVERIFY(box);
                told = box->text();
                ModalDriver::answerNext([&](QWidget *modal) {
                    auto *form = qobject_cast<TEditForm *>(modal);
                    QVERIFY(form);
                    proposed = form->Edit1->text();
                    form->Button5->click();
                });
                box->button(QMessageBox::Ok)->click();
            });
        });
        QVERIFY2(told.contains("different file named desert.dds"), qPrintable(told));
        QCOMPARE(proposed, QString("desert (2).dds"));
        QCOMPARE(readFile(folderOf("P51") + "desert.dds"), TestGame::texture("paint desert.dds"));
        QCOMPARE(readFile(folderOf("P51") + "desert (2).dds"), QByteArray("DDS another desert"));
        QCOMPARE(rows(m_window->OutList).last(), QString("Other desert"));
        QCOMPARE(m_window->OutList1->item(3)->text(), folderOf("P51") + "desert (2).dds");
    }

    void aMissingFileIsRefused()
    {
        const QByteArray list = readFile(folderOf("P51") + "P51.pnt");
        QString told;
        pickForNewPaint("Ghost", folderOf("P51") + "ghost.dds", [&] { answerBox(&told); });
        QVERIFY2(told.contains("does not exist") && told.contains("Nothing was added"), qPrintable(told));
        QCOMPARE(readFile(folderOf("P51") + "P51.pnt"), list);
        QCOMPARE(m_window->OutList->count(), 3);
    }

    void addingAnArchiveGoesThroughThePlanForTheShownAircraft()
    {
        const QString archive = download("pack.7z");
        QVERIFY(QDir().mkpath(QFileInfo(archive).path()));
        QVERIFY(TestArchive::write(archive, TestArchive::Format::SevenZip, {{"Zero/silver.dds", "DDS silver"}}));
        QString planned;
        pickForNewPaint("Silver", archive, [&] {
            ModalDriver::answerNext([&](QWidget *modal) {
                auto *form = qobject_cast<TInstallForm *>(modal);
                QVERIFY(form);
                planned = form->aircraftChooser(0)->currentText() + " > "
                          + form->PlanTable->item(0, TInstallForm::NameColumn)->text();
                answerBox(nullptr);
                form->InstallButton->click();
            });
        });
        QCOMPARE(planned, QString("P51 > Silver"));
        QCOMPARE(rows(m_window->OutList).last(), QString("Silver"));
        QCOMPARE(readFile(folderOf("P51") + "Silver.dds"), QByteArray("DDS silver"));
    }
};

QTEST_MAIN(InstallWindowTest)
#include "tst_InstallWindow.moc"
