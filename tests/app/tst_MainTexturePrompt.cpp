// The main window's answer when a new aircraft's main texture cannot be
// found: a message, then a file dialog in the aircraft's folder.
#include "AircraftScanner.h"
#include "MainTexturePrompt.h"
#include "ModalDriver.h"
#include "ScannedAircraft.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using ScannedAircraft::initialForm;
using ScannedAircraft::titles;

class TestMainTexturePrompt : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void messageThenDialogPickElsewhere();
    void dialogCancelledWritesEmptyTexture();

private:
    // Native, as the window hands folders to the scanner.
    QString aircraft() const { return QDir::toNativeSeparators(m_dir->path() + "/Aircraft/"); }
    QString file(const QString &name) const { return QDir::toNativeSeparators(aircraft() + name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMainTexturePrompt::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(aircraft()));
}

void TestMainTexturePrompt::messageThenDialogPickElsewhere()
{
    QVERIFY(TestFiles::write(file("P51/P51.xdp"), "x"));
    QVERIFY(TestFiles::write(file("P51/OTHER_T.DDS"), "x"));
    QVERIFY(TestFiles::write(file("P51/plain.dds"), "x"));
    QVERIFY(TestFiles::write(file("P51/notes.txt"), "x"));
    const QString elsewhere = m_dir->path() + "/Elsewhere/Custom_t.dds";
    QVERIFY(TestFiles::write(elsewhere, "x"));

    std::unique_ptr<QFileDialog> maintex(createMainTextureDialog(nullptr));
    QString caption, text, dialogTitle, dialogFolder, selectedFilter;
    QStringList filters, shownFiles;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool sawDialog = false;

    ModalDriver::answerNext([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        ModalDriver::answerNext([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog) {
                modal->close();
                return;
            }
            sawDialog = true;
            dialogTitle = dialog->windowTitle();
            dialogFolder = QDir(dialog->directory()).canonicalPath();
            filters = dialog->nameFilters();
            selectedFilter = dialog->selectedNameFilter();
            // Which files the first filter shows, letter case ignored.
            auto *view = dialog->findChild<QListView *>("listView");
            QElapsedTimer clock;
            clock.start();
            while (view && clock.elapsed() < 3000) {
                QTest::qWait(20);
                shownFiles.clear();
                const QModelIndex root = view->rootIndex();
                for (int row = 0; row < view->model()->rowCount(root); ++row)
                    shownFiles << view->model()->index(row, 0, root).data().toString();
                if (shownFiles.contains("OTHER_T.DDS"))
                    break;
            }
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(elsewhere);
            dialog->findChild<QDialogButtonBox *>("buttonBox")
                ->button(QDialogButtonBox::Open)
                ->click();
        });
        box->button(QMessageBox::Ok)->click();
    });

    const auto entries = AircraftScanner(MainTexturePrompt(*maintex)).scanAircraft(aircraft());

    QCOMPARE(caption, QStringLiteral("P51"));
    QCOMPARE(text, QStringLiteral("Unable to identify the main texture for this aircraft\n\n"
                                  "Please select the correct DDS file in the file dialog\n"
                                  "that will appear next\n"));
    QCOMPARE(icon, QMessageBox::Information);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(sawDialog);
    QCOMPARE(dialogTitle, QStringLiteral("Select main texture for P51"));
    QCOMPARE(dialogFolder, QDir(file("P51")).canonicalPath());
    QCOMPARE(filters, (QStringList{"Main Texture File (*_t.dds)", "Any Texture File (*.dds)"}));
    QCOMPARE(selectedFilter, filters.value(0));
    QVERIFY2(shownFiles.contains("OTHER_T.DDS"), qPrintable(shownFiles.join(',')));
    QVERIFY(!shownFiles.contains("plain.dds"));
    QVERIFY(!shownFiles.contains("notes.txt"));

    QCOMPARE(titles(entries), QStringList{"P51"});
    QCOMPARE(TestFiles::read(file("P51/P51.pnt")), initialForm("P51", "Custom_t.dds"));
}

void TestMainTexturePrompt::dialogCancelledWritesEmptyTexture()
{
    QVERIFY(TestFiles::write(file("Mossie/Mosquito.xdp"), "x"));
    std::unique_ptr<QFileDialog> maintex(createMainTextureDialog(nullptr));
    bool sawDialog = false;
    ModalDriver::answerNext([&](QWidget *modal) {
        ModalDriver::answerNext([&](QWidget *modal) {
            sawDialog = qobject_cast<QFileDialog *>(modal) != nullptr;
            modal->close();
        });
        qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Ok)->click();
    });
    const auto entries = AircraftScanner(MainTexturePrompt(*maintex)).scanAircraft(aircraft());
    QVERIFY(sawDialog);
    QCOMPARE(titles(entries), QStringList{"Mosquito"});
    QCOMPARE(TestFiles::read(file("Mossie/Mosquito.pnt")), initialForm("Mosquito", ""));
}

QTEST_MAIN(TestMainTexturePrompt)
#include "tst_MainTexturePrompt.moc"
