#pragma once

#include <QMainWindow>

#include <memory>

class AircraftRowDelegate;
class CollectionFilterModel;
class CollectionModel;
class PaintGridModel;
class QMenu;
class QTimer;
class TRezidu;
class ThumbnailLoader;

namespace Ui {
class TCollectionForm;
}

// The collection at a glance: every aircraft with its status and picture,
// the selected one's paints as pictures, a search and a status filter. It
// draws the main window's hangar and leaves every change to the main
// window's own operations, so both show the same selection and ask the same
// questions.
class TCollectionForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TCollectionForm(TRezidu *mainWindow);
    ~TCollectionForm() override;

    // The main window's collection, made on first use, shown and raised.
    static TCollectionForm *showFor(TRezidu *mainWindow);

    // Where the paint sets' actions go.
    QMenu *setsMenu() const;
    CollectionModel *model() const { return m_model; }
    CollectionFilterModel *filterModel() const { return m_filtered; }
    PaintGridModel *paintModel() const { return m_paints; }
    ThumbnailLoader *thumbnails() const { return m_thumbnails; }

    // Puts back every shown aircraft's original, after the player agreed.
    void restoreAll();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void hangarShown();
    void aircraftChosen();
    void applyPaintAt(const QModelIndex &index);
    void searchChanged();
    void preferVisible();
    void showSurveyProgress();
    void restoreSettings();
    void saveSettings();
    int hangarIndexAt(const QModelIndex &filteredIndex) const;

    std::unique_ptr<Ui::TCollectionForm> ui;
    TRezidu *m_main;
    ThumbnailLoader *m_thumbnails;
    CollectionModel *m_model;
    CollectionFilterModel *m_filtered;
    PaintGridModel *m_paints;
    QTimer *m_visibleChanged;
    QTimer *m_settingsChanged;
    // Set while this window follows the main window's selection: that is
    // no choice of the player's to pass back.
    bool m_following = false;
};
