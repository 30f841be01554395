#include "TAboutForm.h"
#include "ui_TAboutForm.h"

#include "ApplicationTitle.h"
#include "LibraryTable.h"
#include "ProgramVersion.h"
#include "VersionText.h"

#include "FileVersion.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QScreen>
#include <QShowEvent>
#include <QTextBlockFormat>
#include <QTextCursor>

using namespace corvane::controls;

// Pictures live in a static library, so their registration has to be pulled
// in by name; the macro only works from the global namespace.
static void initControlsResources()
{
    Q_INIT_RESOURCE(corvane_controls);
}

namespace {

// The maker's page sits behind the memo, not on a text field, so it is shown
// in the parent's colour and centred.
void makeMemoBlendIn(QTextEdit *memo, bool centred)
{
    memo->viewport()->setAutoFillBackground(false);
    memo->setAutoFillBackground(false);
    if (!centred)
        return;
    QTextCursor cursor(memo->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(format);
}

} // namespace

TAboutForm::TAboutForm(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::TAboutForm)
{
    initControlsResources();
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(471, 315);

    // Where the classic face is missing, a face of the same width keeps the
    // texts inside their laid-out boxes.
    QFont face = font();
    face.setFamilies({face.family(), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
    setFont(face);

    makeMemoBlendIn(ui->Memo3, true);
    makeMemoBlendIn(ui->Memo1, false);

    // The versions must line up in a column, so the list insists on a
    // fixed-pitch face even where Courier New is missing.
    QFont listFont = ui->ListBox1->font();
    listFont.setStyleHint(QFont::TypeWriter);
    listFont.setFixedPitch(true);
    ui->ListBox1->setFont(listFont);
    QPalette listPalette = ui->ListBox1->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        listPalette.setColor(group, QPalette::Base, listPalette.color(group, QPalette::Button));
        listPalette.setColor(group, QPalette::Text, Qt::black);
    }
    ui->ListBox1->setPalette(listPalette);
    ui->ListBox1->setUniformItemSizes(true);

    AboutText.clear();
    // The program's main icon; a program that set none still shows ours.
    const QIcon programIcon = QApplication::windowIcon();
    ui->ExeButton1->SetIcon(programIcon.isNull() ? windowIcon() : programIcon);
    ui->ExeButton1->SetCaption(defaultApplicationTitle(QCoreApplication::applicationFilePath()));
}

TAboutForm::~TAboutForm()
{
    delete ui;
}

QUrl TAboutForm::webPageUrl()
{
    return QUrl(QStringLiteral("https://www.ostrel.example/"));
}

QUrl TAboutForm::mailUrl()
{
    return QUrl(QStringLiteral("mailto:support@ostrel.example"));
}

void TAboutForm::showEvent(QShowEvent *event)
{
    // A window the system merely uncovers is not shown anew.
    if (!event->spontaneous()) {
        centreOnScreen();
        FormShow();
    }
    QDialog::showEvent(event);
}

void TAboutForm::centreOnScreen()
{
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect placed = geometry();
    placed.moveCenter(screen->availableGeometry().center());
    move(placed.topLeft());
}

void TAboutForm::FormShow()
{
    if (const auto version = programProductVersion()) {
        ui->Label2->setText(QStringLiteral("Version ") + versionNumberText(*version));
        ui->Label2->adjustSize();
    }
    ui->Label1->setText(AboutText);
    ui->ListBox1->clear();
    ui->ListBox2->clear();
    for (const LibraryEntry &entry : libraryTable())
        AddLibraryEntry(entry.fileName, entry.description);
}

void TAboutForm::AddLibraryEntry(const QString &name, const QString &description)
{
    const QString line = libraryLine(name, corvane::platform::libraryProductVersion(name));
    auto *item = new QListWidgetItem(line);
    const QFontMetrics metrics(ui->ListBox1->font());
    item->setSizeHint(QSize(metrics.horizontalAdvance(line) + 4, 14));
    ui->ListBox1->addItem(item);
    ui->ListBox2->addItem(description);
}

void TAboutForm::ListBox1Click()
{
    for (int row = 0; row < ui->ListBox1->count(); ++row) {
        if (ui->ListBox1->item(row)->isSelected()) {
            if (const QListWidgetItem *description = ui->ListBox2->item(row))
                ui->Label3->setText(description->text() + u' ');
            return;
        }
    }
}

void TAboutForm::Button1Click()
{
    close();
}

void TAboutForm::Button2Click()
{
    QDesktopServices::openUrl(webPageUrl());
    close();
}

void TAboutForm::MButton2Click()
{
    QDesktopServices::openUrl(mailUrl());
    close();
}
