#include "TCollectionForm.h"

#include "CollectionSets.h"
#include "ui_TCollectionForm.h"

#include "AircraftRowDelegate.h"
#include "CollectionModel.h"
#include "FocusedWindow.h"
#include "PaintGridModel.h"
#include "SectionName.h"
#include "PlayerSettings.h"
#include "TRezidu.h"
#include "ThumbnailLoader.h"
#include "ThumbnailStore.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>

namespace {
// Corvane's own thumbnails stay within this on disk.
constexpr qint64 ownCacheBytes = qint64(256) << 20;

// The collection's thumbnails, in the user's cache folder and, where the
// desktop keeps one, the file managers' folder.
ThumbnailLoader *makeThumbnailLoader(QObject *parent)
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const ThumbnailFolder own(ThumbnailFolder::ownFolderOf(cache), ThumbnailFolder::Upkeep::Own);
    const ThumbnailFolder shared(ThumbnailFolder::sharedLargeFolder(), ThumbnailFolder::Upkeep::Shared);
    auto *loader = new ThumbnailLoader(own, shared, parent);
    loader->pruneOwnCache(ownCacheBytes);
    return loader;
}
} // namespace

TCollectionForm::TCollectionForm(TRezidu *mainWindow)
    : QMainWindow(mainWindow, Qt::Window)
    , ui(std::make_unique<Ui::TCollectionForm>())
    , m_main(mainWindow)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Collection"));
    // Closing the main window ends the program, this one open or not.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_thumbnails = makeThumbnailLoader(this);
    m_thumbnails->setRowSide(qRound(AircraftRowDelegate::PictureSide * devicePixelRatioF()));
    m_model = new CollectionModel(m_main->hangar(), m_thumbnails, this);
    m_filtered = new CollectionFilterModel(this);
    m_filtered->setSourceModel(m_model);
    m_paints = new PaintGridModel(m_main->hangar(), m_thumbnails, this);

    ui->aircraftView->setModel(m_filtered);
    ui->aircraftView->setItemDelegate(new AircraftRowDelegate(ui->aircraftView));
    ui->paintView->setModel(m_paints);
    ui->paintView->installEventFilter(this);

    m_visibleChanged = new QTimer(this);
    m_visibleChanged->setSingleShot(true);
    m_visibleChanged->setInterval(30);
    connect(m_visibleChanged, &QTimer::timeout, this, &TCollectionForm::preferVisible);
    connect(ui->aircraftView->verticalScrollBar(), &QScrollBar::valueChanged, m_visibleChanged,
            qOverload<>(&QTimer::start));
    connect(m_filtered, &QAbstractItemModel::layoutChanged, m_visibleChanged, qOverload<>(&QTimer::start));
    connect(m_filtered, &QAbstractItemModel::modelReset, m_visibleChanged, qOverload<>(&QTimer::start));
    connect(m_filtered, &QAbstractItemModel::rowsInserted, m_visibleChanged, qOverload<>(&QTimer::start));
    connect(m_filtered, &QAbstractItemModel::rowsRemoved, m_visibleChanged, qOverload<>(&QTimer::start));

    m_settingsChanged = new QTimer(this);
    m_settingsChanged->setSingleShot(true);
    m_settingsChanged->setInterval(500);
    connect(m_settingsChanged, &QTimer::timeout, this, &TCollectionForm::saveSettings);
    connect(ui->splitter, &QSplitter::splitterMoved, m_settingsChanged, qOverload<>(&QTimer::start));

    connect(ui->searchBox, &QLineEdit::textChanged, this, &TCollectionForm::searchChanged);
    connect(ui->statusFilter, &QComboBox::currentIndexChanged, this, &TCollectionForm::searchChanged);
    connect(ui->aircraftView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TCollectionForm::aircraftChosen);
    connect(ui->paintView, &QAbstractItemView::doubleClicked, this, &TCollectionForm::applyPaintAt);
    connect(ui->restoreAllButton, &QPushButton::clicked, this, &TCollectionForm::restoreAll);
    connect(ui->actionRestoreAll, &QAction::triggered, this, &TCollectionForm::restoreAll);
    connect(ui->actionLookAgain, &QAction::triggered, m_model, &CollectionModel::reload);
    connect(ui->actionClose, &QAction::triggered, this, &QWidget::close);
    connect(m_model, &CollectionModel::surveyProgress, this, &TCollectionForm::showSurveyProgress);
    connect(m_model, &CollectionModel::surveyDone, this, &TCollectionForm::showSurveyProgress);

    connect(m_main, &TRezidu::paintTableShown, this, &TCollectionForm::hangarShown);

    new CollectionSets(this, m_main);

    restoreSettings();
    hangarShown();
}

TCollectionForm::~TCollectionForm() = default;

TCollectionForm *TCollectionForm::showFor(TRezidu *mainWindow)
{
    auto *form = mainWindow->findChild<TCollectionForm *>(QStringLiteral("Collection"), Qt::FindDirectChildrenOnly);
    if (!form) {
        form = new TCollectionForm(mainWindow);
        form->move(centredOver(mainWindow->frameGeometry(), form->size(), mainWindow->screen()->availableGeometry()));
    }
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

QMenu *TCollectionForm::setsMenu() const
{
    return ui->menuSets;
}

// The main window drew the hangar: after a selection there, a change of an
// aircraft's files, or a scan.
void TCollectionForm::hangarShown()
{
    const Hangar &hangar = m_main->hangar();
    if (!m_model->showsAircraftOf(hangar))
        m_model->reload();
    const int selected = hangar.selectedIndex();
    // Its main texture may be new: its pictures are made again.
    if (selected >= 0)
        m_model->lookAgain(selected);
    m_paints->refresh();
    if (selected < 0)
        return;
    const QModelIndex shown = m_filtered->mapFromSource(m_model->index(selected));
    if (!shown.isValid() || ui->aircraftView->currentIndex() == shown)
        return;
    m_following = true;
    ui->aircraftView->setCurrentIndex(shown);
    ui->aircraftView->scrollTo(shown);
    m_following = false;
}

int TCollectionForm::hangarIndexAt(const QModelIndex &filteredIndex) const
{
    const QModelIndex source = m_filtered->mapToSource(filteredIndex);
    return source.isValid() ? source.row() : -1;
}

void TCollectionForm::aircraftChosen()
{
    if (m_following)
        return;
    const int index = hangarIndexAt(ui->aircraftView->currentIndex());
    if (index >= 0)
        m_main->showAircraft(index);
}

void TCollectionForm::applyPaintAt(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    m_main->applyPaintRow(index.data(PaintGridModel::TableRowRole).toInt());
}

bool TCollectionForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->paintView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            applyPaintAt(ui->paintView->currentIndex());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TCollectionForm::searchChanged()
{
    m_filtered->setSearch(ui->searchBox->text(), CollectionFilter::StatusChoice(ui->statusFilter->currentIndex()));
    m_paints->setFilter(m_filtered->filter());
    m_visibleChanged->start();
}

// Statuses and pictures of the rows on screen are made before the others.
void TCollectionForm::preferVisible()
{
    QAbstractItemView *view = ui->aircraftView;
    const QModelIndex top = view->indexAt(QPoint(1, 1));
    if (!top.isValid())
        return;
    QList<int> shown;
    const int rowHeight = std::max(1, view->sizeHintForRow(0));
    const int rows = view->viewport()->height() / rowHeight + 2;
    for (int row = top.row(); row < std::min(m_filtered->rowCount(), top.row() + rows); ++row)
        shown << hangarIndexAt(m_filtered->index(row, 0));
    m_model->prefer(shown);
}

void TCollectionForm::showSurveyProgress()
{
    const int total = m_model->rowCount();
    QString text = QStringLiteral("%1 aircraft, %2 shown").arg(total).arg(m_filtered->rowCount());
    if (!m_model->surveyFinished())
        text += QStringLiteral(" · looking at their paints…");
    ui->statusBar->showMessage(text);
    ui->restoreAllButton->setEnabled(m_model->surveyFinished());
    ui->actionRestoreAll->setEnabled(m_model->surveyFinished());
}

void TCollectionForm::restoreAll()
{
    if (!m_model->surveyFinished() || m_main->hangarBusy())
        return;
    QList<int> wearing;
    QList<int> changed;
    for (int row = 0; row < m_filtered->rowCount(); ++row) {
        const int index = hangarIndexAt(m_filtered->index(row, 0));
        const AircraftStatus::Kind kind = m_model->statusOf(index).kind;
        if (kind == AircraftStatus::Kind::WearingPaint)
            wearing << index;
        else if (kind == AircraftStatus::Kind::ChangedOutside)
            changed << index;
    }
    if (wearing.isEmpty() && changed.isEmpty()) {
        QMessageBox::information(this, SectionName, QStringLiteral("Every aircraft shown wears its original paint."));
        return;
    }
    QString question = wearing.size() == 1
                           ? QStringLiteral("Put the original paint back on 1 aircraft?")
                           : QStringLiteral("Put the original paint back on %1 aircraft?").arg(wearing.size());
    if (!changed.isEmpty())
        question += QStringLiteral("\n\n%1 more have a main texture changed outside Corvane; "
                                   "you will be asked about those next.")
                        .arg(changed.size());
    QMessageBox confirm(QMessageBox::Question, SectionName, question, QMessageBox::Ok | QMessageBox::Cancel, this);
    confirm.setEscapeButton(QMessageBox::Cancel);
    if (confirm.exec() != QMessageBox::Ok)
        return;

    // On a worker, so that thousands of aircraft never freeze the windows;
    // Cancel stops between two aircraft.
    QList<Hangar::RestoreOutcome> outcomes;
    const QString stopping = QStringLiteral("Stopping; the aircraft restored so far stay restored…");
    auto restoreOnWorker = [&](const QList<int> &indices, Hangar::ChangedOriginal changedOriginal,
                               WorkProgress &told) {
        m_main->runOnHangar(this, QStringLiteral("Putting the original paints back…"), told, stopping,
                            [&] { outcomes += m_main->hangar().restoreAll(indices, changedOriginal, &told); });
    };
    WorkProgress progress;
    restoreOnWorker(wearing, Hangar::ChangedOriginal::Refuse, progress);
    qsizetype left = wearing.size() - outcomes.size();
    if (!changed.isEmpty() && !progress.isCancelled()) {
        QMessageBox keep(QMessageBox::Question, SectionName,
                         QStringLiteral("The main texture of %1 aircraft changed outside Corvane, perhaps by an update "
                                        "of the aircraft. Keep those as their new originals?")
                             .arg(changed.size()),
                         QMessageBox::Yes | QMessageBox::No, this);
        keep.setEscapeButton(QMessageBox::No);
        if (keep.exec() == QMessageBox::Yes) {
            WorkProgress adopting;
            const qsizetype before = outcomes.size();
            restoreOnWorker(changed, Hangar::ChangedOriginal::Adopt, adopting);
            left += changed.size() - (outcomes.size() - before);
        }
    }
    QStringList failures;
    int restored = 0;
    for (const Hangar::RestoreOutcome &outcome : std::as_const(outcomes)) {
        m_model->lookAgain(outcome.index);
        if (outcome.kind == Hangar::RestoreOutcome::Restored)
            ++restored;
        else if (outcome.kind == Hangar::RestoreOutcome::Failed)
            failures << m_model->titleOf(outcome.index) + QStringLiteral(": ") + outcome.result.message();
    }
    // The main window's rows were read before the restore.
    m_main->showAircraft(m_main->hangar().selectedIndex(), TRezidu::Reload::Always);
    QString report = QStringLiteral("%1 aircraft wear their original paint again.").arg(restored);
    if (left > 0)
        report += QStringLiteral("\n\nStopped: %1 more were left as they were.").arg(left);
    if (!failures.isEmpty())
        report += QStringLiteral("\n\nLeft as they were:\n") + failures.join(u'\n');
    QMessageBox::information(this, SectionName, report);
}

void TCollectionForm::closeEvent(QCloseEvent *event)
{
    saveSettings();
    m_thumbnails->cancelPending();
    event->accept();
}

void TCollectionForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_settingsChanged->start();
    m_visibleChanged->start();
}

void TCollectionForm::restoreSettings()
{
    PlayerSettings *settings = m_main->settings();
    if (!settings)
        return;
    const PlayerSettings::CollectionLayout layout = settings->collectionLayout();
    if (layout.width > 200 && layout.height > 150)
        resize(layout.width, layout.height);
    if (layout.listWidth > 0 && layout.paintsWidth > 0)
        ui->splitter->setSizes({layout.listWidth, layout.paintsWidth});
    else
        ui->splitter->setSizes({380, 600});
}

void TCollectionForm::saveSettings()
{
    PlayerSettings *settings = m_main->settings();
    if (!settings)
        return;
    const QList<int> sizes = ui->splitter->sizes();
    // A refused write loses only the window's size.
    settings->saveCollectionLayout({width(), height(), sizes.value(0), sizes.value(1)});
}
