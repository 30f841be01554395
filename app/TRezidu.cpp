#include "TRezidu.h"
#include "ui_TRezidu.h"

#include "ErrorBox.h"
#include "FixedRowHeightDelegate.h"
#include "FileDialogFilter.h"
#include "GameLocation.h"
#include "GameRegistry.h"
#include "SectionName.h"
#include "SettingsStore.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace {
const QString keyTop = QStringLiteral("Top");
const QString keyLeft = QStringLiteral("Left");
const QString keyGamePath = QStringLiteral("CFSPath");
const QString keyProgram = QStringLiteral("Program");
constexpr int defaultPosition = 40;

int lowestSelectedRow(const QListWidget *list)
{
    for (int row = 0; row < list->count(); ++row) {
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
    }

    createFileDialogs();
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    bindHandlers();
    Timer1->start();

    startUp();
}

TRezidu::~TRezidu() = default;

void TRezidu::createFileDialogs()
{
    auto makeDialog = [this](const QString &title, const QStringList &filters) {
        auto *dialog = new QFileDialog(this, title);
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setOption(QFileDialog::HideNameFilterDetails);
        dialog->setOption(QFileDialog::ReadOnly, false);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setNameFilters(filters);
        return dialog;
    };
    findcfs = makeDialog(QStringLiteral("Locate CFS3.exe"),
                         {anyCaseFilter(QStringLiteral("CFS3 Program"), {QStringLiteral("cfs3.exe")})});
    findcfs->setFileMode(QFileDialog::AnyFile);

    addtex = makeDialog(QStringLiteral("Locate CFS3.exe"),
                        {anyCaseFilter(QStringLiteral("DDS Texture"), {QStringLiteral("*.dds")}),
                         QStringLiteral("Any File (*)")});
    addtex->setFileMode(QFileDialog::AnyFile);
    addtex->setDefaultSuffix(QStringLiteral("dds"));

    maintex = makeDialog(QString(),
                         {anyCaseFilter(QStringLiteral("Main Texture File"), {QStringLiteral("*_t.dds")}),
                          anyCaseFilter(QStringLiteral("Any Texture File"), {QStringLiteral("*.dds")})});
    maintex->setFileMode(QFileDialog::ExistingFile);
    maintex->setDefaultSuffix(QStringLiteral("dds"));
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
    move(left, top);

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

void TRezidu::ScanAircraft()
{
    const QSignalBlocker quiet(InList);
    InList->clear();
    InList1->clear();
}

void TRezidu::OutListClick()
{
    const int row = lowestSelectedRow(InList);
    if (row < 0)
        return;
    Button3->setEnabled(true);
    AircraftIndex = row;
}

void TRezidu::InListClick()
{
    const int row = lowestSelectedRow(OutList);
    if (row >= 0)
        PaintIndex = row;
}

void TRezidu::Button1Click()
{
    close();
}

void TRezidu::Button2Click() {}
void TRezidu::Button3Click() {}
void TRezidu::Button4Click() {}
void TRezidu::Button6Click() {}

void TRezidu::Button5Click()
{
    findcfs->setDirectory(GameFolder);
    findcfs->selectFile(QString());
    if (findcfs->exec() != QDialog::Accepted || findcfs->selectedFiles().isEmpty())
        return;
    GameFolder = GameLocation::folderOfFile(findcfs->selectedFiles().constFirst());
    AircraftFolder = GameLocation::aircraftFolderOf(GameFolder);
    ScanAircraft();
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
        Settings->writeText(SectionName, keyGamePath, GameFolder);
    } catch (const SettingsError &error) {
        showErrorBox(error.message(), this);
    }
    Settings.reset();
}
