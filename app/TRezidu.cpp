#include "TRezidu.h"
#include "ui_TRezidu.h"

#include "AircraftFileCheck.h"
#include "AircraftWatch.h"
#include "ErrorBox.h"
#include "FocusedWindow.h"
#include "GameFiles.h"
#include "GameText.h"
#include "MainTexturePrompt.h"
#include "PaintArchive.h"
#include "PaintRules.h"
#include "TEditForm.h"
#include "TCollectionForm.h"
#include "TInstallForm.h"
#include "TThumbnail.h"
#include "TextEditor.h"
#include "WindowPlacement.h"
#include "FixedRowHeightDelegate.h"
#include "GameLocation.h"
#include "GameRegistry.h"
#include "PaintRowItem.h"
#include "SectionName.h"
#include "SettingsStore.h"
#include "SystemDrive.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace {
const QString keyTop = QStringLiteral("Top");
const QString keyLeft = QStringLiteral("Left");
const QString keyGamePath = QStringLiteral("CFSPath");
const QString keyProgram = QStringLiteral("Program");
constexpr int defaultPosition = 40;
// How long a held key's preview waits after the row last changed: long
// enough for the key repeats queued behind a slow load to be taken first,
// far shorter than a repeat.
constexpr int heldKeySettleMs = 10;

const QString noGameHint = QStringLiteral(
    "CFS3 was not found. Press \"CFS3?\" and pick the game's cfs3.exe.");
const QString noMainTextureHint = QStringLiteral(
    "This aircraft's paint list names no main texture. Press \"Edit PNT file\" and write "
    "its file name on line 5 of the list, then select the aircraft again.");

// The wait cursor for as long as this lives, whatever ends the wait.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

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
    , Settings(std::move(settings))
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

    for (QListWidget *list : {InList, OutList}) {
        list->setItemDelegate(new FixedRowHeightDelegate(13, list));
        list->setUniformItemSizes(true);
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
    }
    m_settledPreview = new QTimer(this);
    m_settledPreview->setSingleShot(true);
    m_settledPreview->setInterval(heldKeySettleMs);
    connect(m_settledPreview, &QTimer::timeout, this, [this] {
        if (m_hangarBusy) { // the preview reads the hangar a worker is using
            m_settledPreview->start();
            return;
        }
        const QString waiting = m_waitingPreview; // previewNow forgets it
        previewNow(waiting);
    });

    m_installForm = new TInstallForm(this);
    m_watch = new AircraftWatch(this);
    connect(m_watch, &AircraftWatch::changedOutside, this, &TRezidu::reloadAfterOutsideChange);
    // Downloads dropped anywhere on the window are installed.
    setAcceptDrops(true);
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    bindHandlers();
    Timer1->start();

    startUp();
}

TRezidu::~TRezidu() = default;

// The file dialogs are built when first used: building all three took more
// than half of the time to the window's first paint.
namespace {
// Qt's own dialogs, with names matched in any letter case: a game installed
// on Windows holds CFS3.EXE and P51_T.DDS as often as not.
QFileDialog *createOpenDialog(QWidget *parent, const QString &objectName, const QStringList &filters)
{
    auto *dialog = new QFileDialog(parent, QStringLiteral("Locate CFS3.exe"));
    dialog->setObjectName(objectName);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters(filters);
    dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
    return dialog;
}
} // namespace

QFileDialog *TRezidu::findcfsDialog()
{
    if (!findcfs)
        findcfs = createOpenDialog(this, QStringLiteral("findcfs"), {QStringLiteral("CFS3 Program (cfs3.exe)")});
    return findcfs;
}

QFileDialog *TRezidu::addtexDialog()
{
    if (!addtex) {
        addtex = createOpenDialog(this, QStringLiteral("addtex"),
                                  {QStringLiteral("DDS Texture (*.dds)"), QStringLiteral("Paint archive (*.zip *.7z *.rar)"),
                                   QStringLiteral("Any File (*)")});
        addtex->setDefaultSuffix(QStringLiteral("dds"));
    }
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

void TRezidu::selectAircraft(int index, Reload reload)
{
    if (m_hangarBusy || index < 0 || index >= InList->count())
        return;
    if (reload == Reload::IfOther && m_hangar.selectedIndex() == index)
        return;
    {
        const QSignalBlocker quiet(InList);
        InList->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
    OutListClick();
}

void TRezidu::applyPaintRow(int row)
{
    if (m_hangarBusy || !m_hangar.hasSelection() || row <= PaintTable::InstalledRow || row >= OutList->count())
        return;
    {
        const QSignalBlocker quiet(OutList);
        OutList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    PaintIndex = row;
    Button2Click();
}

void TRezidu::startUp()
{
    const QString programPath = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    SectionName = sectionNameFor(programPath);

    // A settings problem at start-up is told, and the defaults carry on:
    // ending the program here would lock the player out until the settings
    // were mended by hand.
    auto report = [this](const QString &message) { showErrorBox(message, this); };
    auto readPosition = [&](const QString &name) {
        try {
            return Settings->readInteger(SectionName, name, defaultPosition);
        } catch (const SettingsError &error) {
            report(error.message());
            return defaultPosition;
        }
    };

    try {
        Settings->writeText(SectionName, keyProgram, programPath);
    } catch (const SettingsError &error) {
        report(error.message());
    }
    const int top = readPosition(keyTop);
    const int left = readPosition(keyLeft);
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QPoint fallback = (QGuiApplication::primaryScreen()
                                 ? QGuiApplication::primaryScreen()->availableGeometry().topLeft()
                                 : QPoint())
                            + QPoint(defaultPosition, defaultPosition);
    move(reachablePosition(QPoint(left, top), size(), screens, fallback));

    try {
        m_storedGameFolder = Settings->readText(SectionName, keyGamePath, QString());
    } catch (const SettingsError &) {
        // resolve() below tells of it
    }
    GameFolder = GameLocation::resolve(*Settings, SectionName, readGameInstallFolder, report);
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
    {
        const QSignalBlocker quiet(InList);
        InList->clear();
        InList1->clear();
    }
    QElapsedTimer sincePainted;
    sincePainted.start();
    auto showFound = [&](const AircraftEntry &aircraft) {
        {
            const QSignalBlocker quiet(InList);
            InList->addItem(aircraft.title);
            InList1->addItem(aircraft.paintListPath);
        }
        if (sincePainted.elapsed() >= 100) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sincePainted.restart();
        }
    };
    m_hangar.setGameFolder(GameFolder);
    m_hangar.scan(Hangar::ListCreation::CreateMissing, mainTextureQuestion(), showFound);
    m_askedForMainTexture.clear();
    showAircraft();
    if (!m_hangar.scanProblems().isEmpty())
        tell(QStringLiteral("These files were left alone, and their aircraft are not listed:\n\n")
             + m_hangar.scanProblems().join(u'\n'));
    // The paint rows belonged to an aircraft of the old list: until the
    // player picks one of the new list, nothing may be written from them.
    forgetPaintTable();
}

void TRezidu::ScanAircraftFolder(const QString &folder)
{
    m_hangar.scanFolder(folder, Hangar::ListCreation::CreateMissing, mainTextureQuestion());
    showAircraft();
}

void TRezidu::showAircraft()
{
    const QSignalBlocker quiet(InList);
    InList->clear();
    InList1->clear();
    for (const AircraftEntry &aircraft : m_hangar.aircraft()) {
        InList->addItem(aircraft.title);
        InList1->addItem(aircraft.paintListPath);
    }
    emit aircraftListShown();
}

QString TRezidu::selectedPaintListPath() const
{
    if (AircraftIndex < 0 || AircraftIndex >= InList1->count())
        return QString();
    return InList1->item(AircraftIndex)->text();
}

void TRezidu::OutListClick()
{
    const int row = lowestSelectedRow(InList);
    if (row < 0)
        return;
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
        MainTexturePrompt(*maintexDialog())(m_hangar.baseNameOf(AircraftIndex), m_hangar.paintTable().folder());
    if (!picked)
        return;
    if (const PaintResult named = m_hangar.setMainTexture(*picked); !named) {
        tell(named);
        showWhatTheFileHolds();
        return;
    }
    // Now that there is a main texture, its original can be kept.
    m_hangar.keepOriginal();
    showPaintTable();
}

// --- Paint table -------------------------------------------------------------

bool TRezidu::LoadPaintList()
{
    if (const PaintResult selected = m_hangar.select(AircraftIndex); !selected) {
        tell(selected);
        return false;
    }
    // Selecting an aircraft with paints keeps its original texture, once;
    // a failure here is not the player's concern until an apply needs it.
    m_hangar.keepOriginal();
    showPaintTable();
    return true;
}

void TRezidu::showPaintTable()
{
    const PaintTable &table = m_hangar.paintTable();
    const QSignalBlocker quiet(OutList);
    OutList->clear();
    OutList1->clear();
    for (int row = 0; row < table.rowCount(); ++row) {
        OutList->addItem(new PaintRowItem(table.displayText(row), m_hangar));
        OutList1->addItem(table.texturePath(row));
    }
    MainTexturePath = table.mainTexturePath();
    BackupPath = table.backupPath();
    m_watch->watch(m_hangar.hasSelection() ? m_hangar.selectedAircraft()->paintListPath : QString(),
                   table.texturePath(PaintTable::InstalledRow));
    markInstalledPaint();
    showPreviewHint();
}

// The command line, another window or an update changed the selected
// aircraft's files: show what they hold now, keeping the player's row.
void TRezidu::reloadAfterOutsideChange()
{
    // Never while the player answers a question about the rows shown, nor
    // while a worker installs.
    if (QApplication::activeModalWidget() || m_hangarBusy) {
        QTimer::singleShot(500, this, &TRezidu::reloadAfterOutsideChange);
        return;
    }
    if (!m_hangar.hasSelection())
        return;
    const int row = PaintIndex;
    if (!m_hangar.select(m_hangar.selectedIndex())) {
        forgetPaintTable();
        return;
    }
    showPaintTable();
    if (row >= OutList->count()) {
        ResetPaintSelection();
        return;
    }
    {
        const QSignalBlocker quiet(OutList);
        OutList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    InListClick();
}

// The row whose file holds what the game shows now is drawn in bold; row 0
// is that file itself and never counts.
void TRezidu::markInstalledPaint()
{
    // Every change the window makes ends here: its files are as it left them.
    m_watch->remember();
    const std::optional<int> installed = m_hangar.installedRow();
    for (int row = 0; row < OutList->count(); ++row) {
        QFont font = OutList->font();
        font.setBold(installed && row == *installed);
        OutList->item(row)->setFont(font);
    }
    emit paintTableShown();
}

void TRezidu::showPreviewHint()
{
    QString hint;
    if (m_hangar.aircraft().isEmpty()
        && (GameFolder.isEmpty() || !QFileInfo(GameFiles::findGameFile(AircraftFolder)).isDir()))
        hint = noGameHint;
    else if (m_hangar.hasSelection() && !m_hangar.paintTable().namesMainTexture())
        hint = noMainTextureHint;
    Thumbnail1->SetHintText(hint);
}

void TRezidu::forgetPaintTable()
{
    m_hangar.deselect();
    showPaintTable();
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
    showPaintTable();
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
        showPaintTable();
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

bool TRezidu::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // Only a repeat of a held key; its final release is no repeat.
        m_keyHeld = static_cast<QKeyEvent *>(event)->isAutoRepeat();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::FocusOut:
        m_keyHeld = false;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// Held down, an arrow key repeats some 30 times a second, and a large texture
// read from disk takes longer than that to preview: every preview would wait
// behind the ones before, and the lists would go on moving long after the
// key is let go. So while a key repeats, the lists move at once and the
// preview follows the row they are on once the repeats queued meanwhile have
// been taken; rows passed on the way are never loaded. Any other change loads
// at once, as the control always did.
void TRezidu::preview(const QString &texturePath)
{
    if (m_keyHeld) {
        m_waitingPreview = texturePath;
        if (!m_settledPreview->isActive())
            m_settledPreview->start();
        return;
    }
    previewNow(texturePath);
}

void TRezidu::previewNow(const QString &texturePath)
{
    m_settledPreview->stop();
    m_waitingPreview.clear();
    // The empty name first, so the control loads afresh even when the path
    // is the one it shows (after an apply the file behind it is new).
    Thumbnail1->SetFileName(QString());
    if (!texturePath.isEmpty()
        && AircraftFileCheck::mayRead(m_hangar.paintTable().folder(), texturePath))
        Thumbnail1->SetFileName(texturePath);
}

void TRezidu::InListClick()
{
    const int row = lowestSelectedRow(OutList);
    if (row < 0) {
        if (OutList1->count() > 0)
            preview(OutList1->item(0)->text());
        return;
    }
    PaintIndex = row;
    preview(OutList1->item(row)->text());
    Button2->setEnabled(row != PaintTable::InstalledRow);
    Button4->setEnabled(row >= PaintTable::FirstPaintRow);
}

void TRezidu::tell(const QString &message)
{
    QMessageBox::warning(focusedWindow(this), SectionName, message);
}

void TRezidu::tell(const PaintResult &result)
{
    tell(result.message());
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
    const int rows = m_hangar.paintTable().rowCount();
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
        QMessageBox::information(focusedWindow(this), SectionName, QStringLiteral("Applied.\n\n") + applied.note);
    // An adopted original is a new row.
    if (m_hangar.paintTable().rowCount() != rows)
        showPaintTable();
    else
        markInstalledPaint();
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
    if (const QString problem = PaintRules::problemWithName(storedName); !problem.isEmpty()) {
        tell(problem + QStringLiteral("\n\nNothing was added."));
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
        installDownloads({picked}, AircraftIndex, name);
        return;
    }
    const std::optional<QString> fileName = bringIntoAircraftFolder(picked);
    if (!fileName)
        return;
    if (const PaintResult added = m_hangar.add(storedName, folder + *fileName); !added) {
        tell(added);
        showWhatTheFileHolds();
        return;
    }
    if (!toldOfChangesOnDisk()) {
        // The new row is not selected: the selection, preview and buttons stay.
        const PaintTable &table = m_hangar.paintTable();
        const int row = table.rowCount() - 1;
        const QSignalBlocker quiet(OutList);
        OutList->addItem(new PaintRowItem(table.displayText(row), m_hangar));
        OutList1->addItem(table.texturePath(row));
    }

    // An aircraft that had no paint gets its backup with its first one.
    if (const PaintResult kept = m_hangar.keepOriginal(); !kept)
        tell(QStringLiteral("The paint was added.\n\n") + kept.message());
    markInstalledPaint();
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
        const QSignalBlocker quiet(OutList);
        delete OutList->takeItem(row);
        delete OutList1->takeItem(row);
    }
    markInstalledPaint();
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
    GameFolder = GameLocation::folderOfFile(dialog->selectedFiles().constFirst());
    AircraftFolder = GameLocation::aircraftFolderOf(GameFolder);
    // Saved at once, so a second window or the command line started now
    // finds the game here too.
    try {
        Settings->writeText(SectionName, keyGamePath, GameFolder);
        m_storedGameFolder = GameFolder;
    } catch (const SettingsError &error) {
        showErrorBox(error.message(), this);
    }
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
        tell(verdict.message());
        return;
    }
    if (!openInTextEditor(path, this)) {
        tell(QStringLiteral("No text editor could be started. Open the paint list by hand:\n%1")
                 .arg(QDir::toNativeSeparators(path)));
    }
}

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
    try {
        Settings->writeInteger(SectionName, keyTop, pos().y());
        Settings->writeInteger(SectionName, keyLeft, pos().x());
        // The game folder as this window found it (from the game's registry
        // entry, or with its separator added) is kept, unless another window
        // chose a folder since: this one's would be the stale one.
        if (Settings->readText(SectionName, keyGamePath, QString()) == m_storedGameFolder)
            Settings->writeText(SectionName, keyGamePath, GameFolder);
    } catch (const SettingsError &error) {
        showErrorBox(error.message(), this);
    }
    Settings.reset();
}
