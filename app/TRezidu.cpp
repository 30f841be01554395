#include "TRezidu.h"
#include "ui_TRezidu.h"

#include "AircraftFileCheck.h"
#include "AircraftWatch.h"
#include "DownloadDrop.h"
#include "ErrorBox.h"
#include "FixedRowHeightDelegate.h"
#include "FocusedWindow.h"
#include "GameFiles.h"
#include "GameLocation.h"
#include "GameRegistry.h"
#include "GameText.h"
#include "HangarWork.h"
#include "MainTexturePrompt.h"
#include "OpenFileDialogs.h"
#include "PaintArchive.h"
#include "PaintImport.h"
#include "PaintRowItem.h"
#include "PlayerMessage.h"
#include "PlayerSettings.h"
#include "SectionName.h"
#include "SettingsStore.h"
#include "SettledSelection.h"
#include "StartOptions.h"
#include "SystemDrive.h"
#include "TCollectionForm.h"
#include "TEditForm.h"
#include "TThumbnail.h"
#include "TextEditor.h"
#include "WaitCursor.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace {
const QString noGameHint = QStringLiteral(
    "CFS3 was not found. Press \"CFS3?\" and pick the game's cfs3.exe.");
const QString noMainTextureHint = QStringLiteral(
    "This aircraft's paint list names no main texture. Press \"Edit PNT file\" and write "
    "its file name on line 5 of the list, then select the aircraft again.");

int lowestSelectedRow(const QListWidget *list, int from = 0)
{
    for (int row = from; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            return row;
    }
    return -1;
}
} // namespace

TRezidu::TRezidu(std::unique_ptr<SettingsStore> settings, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::TRezidu>())
    , m_import(std::make_unique<PaintImport>(m_hangar, this))
{
    ui->setupUi(this);
    InList = ui->InList;
    OutList = ui->OutList;
    InList1 = ui->InList1;
    OutList1 = ui->OutList1;
    Thumbnail1 = ui->Thumbnail1;
    Button1 = ui->Button1;
    Button2 = ui->Button2;
    Button3 = ui->Button3;
    Button4 = ui->Button4;
    Button5 = ui->Button5;
    Button6 = ui->Button6;

    // A tool window: small caption with only a close box, no resizing.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    // Qt lets tool windows close without ending the program; this one is
    // the program.
    setAttribute(Qt::WA_QuitOnClose, true);
    setFixedSize(701, 534);

    m_settled = new SettledSelection(this);
    // Loads read the hangar a worker may be using.
    m_settled->setBusy([this] { return hangarBusy(); });
    for (QListWidget *list : {InList, OutList}) {
        list->setItemDelegate(new FixedRowHeightDelegate(13, list));
        list->setUniformItemSizes(true);
        m_settled->watch(list);
    }

    m_watch = new AircraftWatch(this);
    connect(m_watch, &AircraftWatch::changedOutside, this, &TRezidu::reloadAfterOutsideChange);
    // Downloads dropped anywhere on the window are installed; on the paint
    // rows, for the aircraft shown.
    m_drop = new DownloadDrop(this, OutList, [this] { return !m_hangar.aircraft().isEmpty(); });
    connect(m_drop, &DownloadDrop::dropped, this, [this](const QStringList &paths, bool onPaintRows) {
        installDownloads(paths, onPaintRows && m_hangar.hasSelection() ? m_hangar.selectedIndex() : -1);
    });
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    bindHandlers();
    Timer1->start();

    startUp(std::move(settings));
}

TRezidu::~TRezidu()
{
    // Work a held key left waiting reads the hangar, which is gone before
    // the lists: their last focus change must not run it.
    delete m_settled;
}

void TRezidu::setEditForm(TEditForm *editForm)
{
    EditForm = editForm;
    m_import->setEditForm(editForm);
}

TInstallForm *TRezidu::installForm() const
{
    return m_import->installForm();
}

QFileDialog *TRezidu::findcfsDialog()
{
    if (!findcfs)
        findcfs = createFindGameDialog(this);
    return findcfs;
}

QFileDialog *TRezidu::addtexDialog()
{
    if (!addtex)
        addtex = createAddTextureDialog(this);
    return addtex;
}

QFileDialog *TRezidu::maintexDialog()
{
    if (!maintex)
        maintex = createMainTextureDialog(this);
    return maintex;
}

void TRezidu::bindHandlers()
{
    // The list handlers are crossed on purpose: the aircraft list runs
    // OutListClick and the paint list InListClick. Only the player's own
    // selection changes reach them; code that selects rows blocks signals.
    connect(InList, &QListWidget::itemSelectionChanged, this, &TRezidu::OutListClick);
    connect(OutList, &QListWidget::itemSelectionChanged, this, &TRezidu::InListClick);
    connect(Button1, &QPushButton::clicked, this, &TRezidu::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TRezidu::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TRezidu::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TRezidu::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TRezidu::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TRezidu::Button6Click);
    connect(Timer1, &QTimer::timeout, this, &TRezidu::Timer1Timer);

    // Nothing on the window opens the About dialog; F1 is where players look.
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] {
        if (m_aboutForm)
            m_aboutForm->exec();
    });
    auto *collection = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(collection, &QShortcut::activated, this, [this] { TCollectionForm::showFor(this); });
    auto *showCollection = new QAction(QStringLiteral("Show in the Collection\tF3"), InList);
    connect(showCollection, &QAction::triggered, this, [this] { TCollectionForm::showFor(this); });
    InList->addAction(showCollection);
    InList->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TRezidu::showAtStart(const StartOptions &options)
{
    show();
    // Players who keep many aircraft start on the collection. It fills
    // when this window has read the game's aircraft.
    if (options.collection)
        TCollectionForm::showFor(this);
}

bool TRezidu::hangarBusy() const
{
    return m_import->busy() || m_hangarWork;
}

bool TRezidu::runOnHangar(QWidget *parent, const QString &label, WorkProgress &progress, const QString &stopping,
                          const std::function<void()> &work)
{
    if (hangarBusy())
        return false;
    m_hangarWork = true;
    runHangarWork(parent, label, progress, stopping, work);
    m_hangarWork = false;
    return true;
}

void TRezidu::showAircraft(int index, Reload reload)
{
    if (hangarBusy() || index < 0 || index >= InList->count())
        return;
    if (reload == Reload::IfOther && m_hangar.selectedIndex() == index)
        return;
    {
        const QSignalBlocker quiet(InList);
        InList->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    selectAircraft(index);
}

void TRezidu::applyPaintRow(int row)
{
    if (hangarBusy() || !m_hangar.hasSelection() || row <= PaintTable::InstalledRow || row >= OutList->count())
        return;
    {
        const QSignalBlocker quiet(OutList);
        OutList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    PaintIndex = row;
    Button2Click();
}

void TRezidu::startUp(std::unique_ptr<SettingsStore> store)
{
    const QString programPath = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    SectionName = sectionNameFor(programPath);
    // A settings problem is told, and the defaults carry on: ending the
    // program here would lock the player out until the settings were mended
    // by hand.
    Settings = std::make_unique<PlayerSettings>(std::move(store), SectionName, [this](const PaintResult &problem) {
        showErrorBox(problem.message(), this);
    });

    Settings->recordProgram(programPath);
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QPoint fallback = (QGuiApplication::primaryScreen()
                                 ? QGuiApplication::primaryScreen()->availableGeometry().topLeft()
                                 : QPoint())
                            + QPoint(PlayerSettings::defaultPosition, PlayerSettings::defaultPosition);
    move(reachablePosition(Settings->windowPosition(), size(), screens, fallback));

    GameFolder = Settings->locateGame(readGameInstallEntry).folder;
    AircraftFolder = GameLocation::aircraftFolderOf(GameFolder);
}

void TRezidu::Timer1Timer()
{
    Timer1->stop();
    ScanAircraft();
    if (InList->count() > 0) {
        const QSignalBlocker quiet(InList);
        InList->setCurrentRow(0);
    }
    OutListClick();
}

// --- Aircraft --------------------------------------------------------------

AircraftScanner::MainTextureQuestion TRezidu::mainTextureQuestion()
{
    return [this](const QString &baseName, const QString &folder) {
        // The player has to act here: no wait cursor over the question.
        const bool waiting = QApplication::overrideCursor() != nullptr;
        if (waiting)
            QApplication::restoreOverrideCursor();
        const std::optional<QString> picked = MainTexturePrompt(*maintexDialog())(baseName, folder);
        if (waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        return picked;
    };
}

void TRezidu::ScanAircraft()
{
    // Lists are created on first sight, asking for a missing main texture.
    // A first scan writes one for every aircraft and may take seconds: the
    // rows appear as they are found, under a wait cursor, and the window
    // keeps being painted (the player's input waits).
    const WaitCursor waiting;
    QList<AircraftEntry> found;
    drawAircraft(found);
    QElapsedTimer sincePainted;
    sincePainted.start();
    auto showFound = [&](const AircraftEntry &aircraft) {
        found.append(aircraft);
        if (sincePainted.elapsed() >= 100) {
            drawAircraft(found);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sincePainted.restart();
        }
    };
    m_hangar.setGameFolder(GameFolder);
    m_hangar.scan(Hangar::ListCreation::CreateMissing, mainTextureQuestion(), showFound);
    m_askedForMainTexture.clear();
    // The paint rows belonged to an aircraft of the old list: until the
    // player picks one of the new list, nothing may be written from them.
    forgetPaintTable();
    if (!m_hangar.scanReport().isEmpty())
        tell(QStringLiteral("These files were left alone, and their aircraft are not listed:\n\n")
             + linesOf(m_hangar.scanReport()));
}

void TRezidu::ScanAircraftFolder(const QString &folder)
{
    m_hangar.scanFolder(folder, Hangar::ListCreation::CreateMissing, mainTextureQuestion());
    showModel();
}

QString TRezidu::selectedPaintListPath() const
{
    const QList<AircraftEntry> &aircraft = m_hangar.aircraft();
    if (AircraftIndex < 0 || AircraftIndex >= aircraft.size())
        return QString();
    return aircraft.at(AircraftIndex).paintListPath;
}

void TRezidu::OutListClick()
{
    const int row = lowestSelectedRow(InList);
    if (row < 0)
        return;
    // A held key moves the list at once; the rows it passes are not loaded.
    m_settled->run([this, row] { selectAircraft(row); });
}

void TRezidu::selectAircraft(int row)
{
    Button3->setEnabled(true);
    AircraftIndex = row;
    if (!LoadPaintList()) {
        // Keep the paint rows and the list they are written to together:
        // rows of another aircraft must never be saved into this one's list.
        forgetPaintTable();
        return;
    }
    askAgainForMainTexture();
    ResetPaintSelection();
}

// A list written while the player cancelled the main texture dialog names
// none; ask once more, the first time the aircraft is selected after a scan.
void TRezidu::askAgainForMainTexture()
{
    const QString listPath = selectedPaintListPath();
    if (m_hangar.paintTable().namesMainTexture() || m_askedForMainTexture.contains(listPath))
        return;
    m_askedForMainTexture.insert(listPath);
    const std::optional<QString> picked =
        MainTexturePrompt(*maintexDialog())(m_hangar.baseNameOf(m_hangar.selectedIndex()), m_hangar.paintTable().folder());
    if (!picked)
        return;
    if (const PaintResult named = m_hangar.setMainTexture(*picked); !named) {
        tell(named);
        showWhatTheFileHolds();
        return;
    }
    // Now that there is a main texture, its original can be kept.
    m_hangar.keepOriginal();
    showModel();
}

// --- Drawing -----------------------------------------------------------------

namespace {
// Rows are changed in place, so the player's selection stays on the rows
// that stay; the hidden twin gets the same rows.
template<typename MakeItem>
void drawRows(QListWidget *visible, QListWidget *twin, const QStringList &texts, const QStringList &paths,
              MakeItem makeItem)
{
    const QSignalBlocker quiet(visible);
    const int count = int(texts.size());
    while (visible->count() > count)
        delete visible->takeItem(visible->count() - 1);
    while (twin->count() > count)
        delete twin->takeItem(twin->count() - 1);
    for (int row = 0; row < count; ++row) {
        if (row < visible->count()) {
            if (visible->item(row)->text() != texts.at(row))
                visible->item(row)->setText(texts.at(row));
            twin->item(row)->setText(paths.at(row));
        } else {
            visible->addItem(makeItem(texts.at(row)));
            twin->addItem(paths.at(row));
        }
    }
}
} // namespace

void TRezidu::showModel()
{
    drawAircraft(m_hangar.aircraft());
    drawPaintTable();
    showPreviewHint();
}

void TRezidu::drawAircraft(const QList<AircraftEntry> &aircraft)
{
    QStringList titles;
    QStringList paths;
    for (const AircraftEntry &entry : aircraft) {
        titles.append(entry.title);
        paths.append(entry.paintListPath);
    }
    drawRows(InList, InList1, titles, paths, [](const QString &text) { return new QListWidgetItem(text); });
}

void TRezidu::drawPaintTable()
{
    const PaintTable &table = m_hangar.paintTable();
    QStringList texts;
    QStringList paths;
    for (int row = 0; row < table.rowCount(); ++row) {
        texts.append(table.displayText(row));
        paths.append(table.texturePath(row));
    }
    drawRows(OutList, OutList1, texts, paths,
             [this](const QString &text) { return new PaintRowItem(text, m_hangar); });
    MainTexturePath = table.mainTexturePath();
    BackupPath = table.backupPath();

    // The row whose file holds what the game shows now is drawn in bold; row
    // 0 is that file itself and never counts.
    const std::optional<int> installed = m_hangar.installedRow();
    for (int row = 0; row < OutList->count(); ++row) {
        QFont font = OutList->font();
        font.setBold(installed && row == *installed);
        OutList->item(row)->setFont(font);
    }
    // Every change the window makes ends here: its files are as it left them.
    m_watch->watch(m_hangar.hasSelection() ? m_hangar.selectedAircraft()->paintListPath : QString(),
                   table.texturePath(PaintTable::InstalledRow));
    m_watch->remember();
    emit paintTableShown();
}

void TRezidu::showPreviewHint()
{
    QString hint;
    if (m_hangar.aircraft().isEmpty()
        && (m_hangar.gameFolder().isEmpty() || !QFileInfo(GameFiles::findGameFile(m_hangar.aircraftFolder())).isDir()))
        hint = noGameHint;
    else if (m_hangar.hasSelection() && !m_hangar.paintTable().namesMainTexture())
        hint = noMainTextureHint;
    Thumbnail1->SetHintText(hint);
}

// --- Paint table -------------------------------------------------------------

bool TRezidu::LoadPaintList()
{
    // Keeping the original may fail (its note); that is not the player's
    // concern until an apply needs it, and the apply says so.
    if (const PaintResult opened = m_hangar.open(AircraftIndex, Hangar::ListCreation::CreateMissing); !opened) {
        tell(opened);
        return false;
    }
    showModel();
    return true;
}

// The command line, another window or an update changed the selected
// aircraft's files: show what they hold now, keeping the player's row.
void TRezidu::reloadAfterOutsideChange()
{
    // Never while the player answers a question about the rows shown, nor
    // while a worker installs.
    if (QApplication::activeModalWidget() || hangarBusy()) {
        QTimer::singleShot(500, this, &TRezidu::reloadAfterOutsideChange);
        return;
    }
    if (!m_hangar.hasSelection())
        return;
    if (!m_hangar.select(m_hangar.selectedIndex())) {
        forgetPaintTable();
        return;
    }
    showModel();
    if (PaintIndex >= OutList->count()) {
        ResetPaintSelection();
        return;
    }
    {
        const QSignalBlocker quiet(OutList);
        OutList->setCurrentRow(PaintIndex, QItemSelectionModel::ClearAndSelect);
    }
    InListClick();
}

void TRezidu::forgetPaintTable()
{
    m_hangar.deselect();
    showModel();
    PaintIndex = 0;
    Button2->setEnabled(false);
    Button3->setEnabled(false);
    Button4->setEnabled(false);
    preview(QString());
}

bool TRezidu::saveClick(QObject *)
{
    if (!m_hangar.hasSelection())
        return false;
    const PaintResult saved = m_hangar.save();
    if (saved) {
        toldOfChangesOnDisk();
        return true;
    }
    tell(saved);
    showWhatTheFileHolds();
    return false;
}

// A save that found the list changed on disk made the player's change to
// what the file holds now: the window shows that, and says so.
bool TRezidu::toldOfChangesOnDisk()
{
    if (!m_hangar.paintTable().lastSaveMerged())
        return false;
    showModel();
    ResetPaintSelection();
    tell(QStringLiteral("The paint list had been changed on disk since it was loaded. "
                        "Your change was made to the list as it is now."));
    return true;
}

// After a failed save the window shows what the file holds, never what it
// does not.
void TRezidu::showWhatTheFileHolds()
{
    if (m_hangar.hasSelection())
        showModel();
    else
        forgetPaintTable();
}

void TRezidu::ResetPaintSelection()
{
    if (OutList->count() == 0)
        return;
    {
        const QSignalBlocker quiet(OutList);
        OutList->clearSelection();
        OutList->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    }
    PaintIndex = 0;
    InListClick();
}

void TRezidu::preview(const QString &texturePath)
{
    m_settled->run([this, texturePath] { previewNow(texturePath); });
}

void TRezidu::previewNow(const QString &texturePath)
{
    // The empty name first, so the control loads afresh even when the path
    // is the one it shows (after an apply the file behind it is new).
    Thumbnail1->SetFileName(QString());
    if (!texturePath.isEmpty()
        && AircraftFileCheck::mayRead(m_hangar.paintTable().folder(), texturePath))
        Thumbnail1->SetFileName(texturePath);
}

void TRezidu::InListClick()
{
    const PaintTable &table = m_hangar.paintTable();
    const int row = lowestSelectedRow(OutList);
    if (row < 0) {
        if (table.rowCount() > 0)
            preview(table.texturePath(PaintTable::InstalledRow));
        return;
    }
    PaintIndex = row;
    preview(row < table.rowCount() ? table.texturePath(row) : QString());
    Button2->setEnabled(row != PaintTable::InstalledRow);
    Button4->setEnabled(row >= PaintTable::FirstPaintRow);
}

void TRezidu::tell(const QString &message)
{
    tellPlayer(this, message);
}

void TRezidu::tell(const PaintResult &result)
{
    tellPlayer(this, result);
}

// --- Buttons -----------------------------------------------------------------

void TRezidu::Button1Click()
{
    close();
}

void TRezidu::Button2Click()
{
    if (!m_hangar.hasSelection() || PaintIndex <= 0 || PaintIndex >= m_hangar.paintTable().rowCount())
        return;
    PaintResult applied = m_hangar.apply(PaintIndex);
    if (applied.changedOutside) {
        // Nothing was written; the player decides whether it is the new
        // original. No cancels and writes nothing.
        applied = askToKeepChangedOriginal() ? m_hangar.apply(PaintIndex, Hangar::ChangedOriginal::Adopt)
                                             : PaintResult::success();
    }
    if (!applied)
        tell(applied);
    else if (!applied.note.isEmpty())
        informPlayer(this, QStringLiteral("Applied.\n\n") + applied.note);
    // An adopted original is a new row.
    showModel();
    ResetPaintSelection();
}

bool TRezidu::askToKeepChangedOriginal()
{
    const QString title = m_hangar.hasSelection() ? m_hangar.selectedAircraft()->title : QString();
    QMessageBox question(QMessageBox::Question, SectionName,
                         QStringLiteral("The main texture of %1 changed outside Corvane, perhaps by an update of the "
                                        "aircraft. Keep it as the new original?")
                             .arg(title),
                         QMessageBox::Yes | QMessageBox::No, focusedWindow(this));
    question.setEscapeButton(QMessageBox::No);
    return question.exec() == QMessageBox::Yes;
}

void TRezidu::Button3Click()
{
    if (!EditForm || !m_hangar.hasSelection())
        return;
    EditForm->Edit1->setText(QStringLiteral("Enter name for new Paint entry"));
    EditForm->exec();
    if (EditForm->OkPressed != 1)
        return;
    const QString name = EditForm->Edit1->text();
    const QByteArray storedName = GameText::encode(name);
    // Refused before the file dialog, so the player does not pick a file
    // for nothing.
    if (const PaintResult named = Hangar::checkPaintName(storedName); !named) {
        tell(named);
        return;
    }

    const QString folder = m_hangar.paintTable().folder();
    QFileDialog *dialog = addtexDialog();
    dialog->setWindowTitle(QStringLiteral("Select DDS file for ") + name);
    dialog->setDirectory(folder);
    dialog->selectNameFilter(dialog->nameFilters().constFirst());
    dialog->selectFile(folder + name + QStringLiteral(".dds"));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const QString picked = dialog->selectedFiles().constFirst();
    if (PaintArchive::isArchiveFileName(picked)) {
        installDownloads({picked}, m_hangar.selectedIndex(), name);
        return;
    }
    const std::optional<PaintResult> added = m_import->addPicked(storedName, picked);
    if (!added)
        return;
    if (!*added) {
        tell(*added);
        showWhatTheFileHolds();
        return;
    }
    toldOfChangesOnDisk();
    if (!added->note.isEmpty())
        tell(added->note);
    // The new row is not selected: the selection, preview and buttons stay.
    showModel();
}

void TRezidu::Button4Click()
{
    QMessageBox confirm(QMessageBox::NoIcon, SectionName, QStringLiteral("This will delete the current Entry"),
                        QMessageBox::Ok | QMessageBox::Cancel, focusedWindow(this));
    confirm.setEscapeButton(QMessageBox::Cancel);
    if (confirm.exec() != QMessageBox::Ok)
        return;

    const int row = lowestSelectedRow(OutList, PaintTable::FirstPaintRow);
    if (row < 0 || !m_hangar.hasSelection())
        return;
    if (const PaintResult removed = m_hangar.remove(row); !removed) {
        tell(removed);
        showWhatTheFileHolds();
    } else if (!toldOfChangesOnDisk()) {
        showModel();
    }
    // The removed row's number now names another paint, or none.
    ResetPaintSelection();
}

void TRezidu::Button5Click()
{
    QFileDialog *dialog = findcfsDialog();
    dialog->setDirectory(GameLocation::searchStartFolder(GameFolder, systemDriveFolder(), QDir::homePath()));
    dialog->selectFile(QString());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    // A folder without the game's aircraft is refused, not kept: the player
    // picks again, and the settings keep the folder that worked.
    // The dialog takes a name that does not exist: only its folder counts.
    const PaintResult understood =
        Hangar::understandGameFolder(GameLocation::folderOfFile(dialog->selectedFiles().constFirst()));
    if (!understood) {
        tell(understood);
        return;
    }
    GameFolder = understood.file;
    AircraftFolder = GameLocation::aircraftFolderOf(GameFolder);
    Settings->saveGameFolder(GameFolder);
    ScanAircraft();
}

void TRezidu::Button6Click()
{
    // Empty when the aircraft list is.
    const QString path = selectedPaintListPath();
    if (path.isEmpty())
        return;
    // An editor would hang on a pipe, or edit a file outside the game.
    const FileVerdict verdict = AircraftFileCheck::mayRead(PaintListFile::folderOf(path), path);
    if (!verdict) {
        tell(verdict.result.reason);
        return;
    }
    if (!openInTextEditor(path, this)) {
        tell(QStringLiteral("No text editor could be started. Open the paint list by hand:\n%1")
                 .arg(QDir::toNativeSeparators(path)));
    }
}

// --- Downloads ---------------------------------------------------------------

void TRezidu::installDownloads(const QStringList &paths, int chosenAircraft, const QString &paintName)
{
    if (!m_import->installDownloads(paths, chosenAircraft, paintName))
        return;
    // The rows that were there keep their places; the selection and preview
    // stay.
    if (m_hangar.hasSelection())
        showModel();
    else
        forgetPaintTable();
}

// --- Closing -----------------------------------------------------------------

void TRezidu::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TRezidu::FormClose()
{
    if (!Settings)
        return;
    // A refused write is told, and the window closes all the same: keeping
    // it open would leave the player no way to quit.
    Settings->saveOnClose(pos(), GameFolder);
    Settings.reset();
}
