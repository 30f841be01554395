#pragma once

#include "Hangar.h"

#include <QSet>

#include <QWidget>

#include <memory>
#include <optional>

class QDialog;
class QFileDialog;
class QListWidget;
class QPushButton;
class QTimer;
class SettingsStore;
class TEditForm;
class TInstallForm;
class TThumbnail;
class AircraftWatch;

namespace Ui {
class TRezidu;
}

// The main window: the aircraft list, the paint rows of the selected
// aircraft, the preview and the buttons. Each visible list has a hidden twin
// holding, row for row, the file path behind the visible row.
class TRezidu : public QWidget
{
    Q_OBJECT

public:
    // Takes the opened settings store; FormClose releases it.
    explicit TRezidu(std::unique_ptr<SettingsStore> settings, QWidget *parent = nullptr);
    ~TRezidu() override;

    void setAboutForm(QDialog *aboutForm) { m_aboutForm = aboutForm; }
    void setEditForm(TEditForm *editForm) { EditForm = editForm; }

    // Installs textures and paint archives, showing the plan first. The
    // chosen aircraft (a row of InList, or -1 to match each texture) and the
    // paint name (empty for names made from the file names) go to the plan.
    void installDownloads(const QStringList &paths, int chosenAircraft, const QString &paintName = QString());
    TInstallForm *installForm() const { return m_installForm; }

    // For the collection window, which draws this window's hangar and
    // changes it only through the operations below, so both windows show
    // one selection and ask the same questions.
    Hangar &hangar() { return m_hangar; }
    const Hangar &hangar() const { return m_hangar; }
    bool hangarBusy() const { return m_hangarBusy; }
    // Null once the window has closed.
    SettingsStore *settings() const { return Settings.get(); }
    enum class Reload { IfOther, Always };
    // As if the player had clicked the aircraft's row.
    void selectAircraft(int index, Reload reload = Reload::IfOther);
    // As if the player had selected the paint row and pressed "Apply Current Selection".
    void applyPaintRow(int row);

    QListWidget *InList;
    QListWidget *OutList;
    QListWidget *InList1;
    QListWidget *OutList1;
    TThumbnail *Thumbnail1;
    QPushButton *Button1;
    QPushButton *Button2;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *Button5;
    // Built when first used.
    QFileDialog *findcfs = nullptr;
    QFileDialog *addtex = nullptr;
    QFileDialog *maintex = nullptr;
    QTimer *Timer1;
    QPushButton *Button6;

    QString AircraftFolder;
    QString MainTexturePath;
    QString BackupPath;
    QString GameFolder;
    int AircraftIndex = 0;
    int PaintIndex = 0;

signals:
    void aircraftListShown();
    // The selected aircraft's rows were drawn anew (or none is selected).
    void paintTableShown();

public slots:
    virtual void OutListClick();
    virtual void InListClick();
    void Button1Click();
    virtual void Button2Click();
    virtual void Button3Click();
    virtual void Button4Click();
    void Button5Click();
    virtual void Button6Click();
    void Timer1Timer();
    virtual void ScanAircraft();
    void ScanAircraftFolder(const QString &folder);
    void ResetPaintSelection();
    bool LoadPaintList();
    bool saveClick(QObject *Sender = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void FormClose();

private:
    void startUp();
    void bindHandlers();
    QFileDialog *findcfsDialog();
    QFileDialog *addtexDialog();
    QFileDialog *maintexDialog();
    AircraftScanner::MainTextureQuestion mainTextureQuestion();
    void showAircraft();
    void showPaintTable();
    void forgetPaintTable();
    void askAgainForMainTexture();
    void markInstalledPaint();
    void showPreviewHint();
    void preview(const QString &texturePath);
    void previewNow(const QString &texturePath);
    void tell(const QString &message);
    void tell(const PaintResult &result);
    void showWhatTheFileHolds();
    bool toldOfChangesOnDisk();
    QString selectedPaintListPath() const;
    std::optional<QString> bringIntoAircraftFolder(const QString &pickedPath);
    void showInstalledPaints();
    bool askToKeepChangedOriginal();
    void reloadAfterOutsideChange();

    std::unique_ptr<Ui::TRezidu> ui;
    std::unique_ptr<SettingsStore> Settings;
    QDialog *m_aboutForm = nullptr;
    TEditForm *EditForm = nullptr;
    TInstallForm *m_installForm = nullptr;
    // The aircraft are row for row with InList and InList1, the paint table
    // of the selected one with OutList and OutList1.
    Hangar m_hangar;
    // Set while a worker plans or installs with the hangar: nothing else
    // may use it until the worker is done.
    bool m_hangarBusy = false;
    // Lists without a main texture whose player was asked since the scan.
    QSet<QString> m_askedForMainTexture;
    // The selected aircraft's list and main texture, for changes made
    // outside the window.
    AircraftWatch *m_watch = nullptr;
    // "CFSPath" as this window last read or wrote it.
    QString m_storedGameFolder;
    // A held key moves the lists faster than large textures load: while it
    // repeats, the preview waits for the row the lists settle on.
    bool m_keyHeld = false;
    QTimer *m_settledPreview = nullptr;
    QString m_waitingPreview;
};
