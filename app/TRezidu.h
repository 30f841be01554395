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
class AircraftWatch;
class DownloadDrop;
class PaintImport;
class PlayerSettings;
class SettingsStore;
class SettledSelection;
class TEditForm;
struct StartOptions;
class TInstallForm;
class TThumbnail;

namespace Ui {
class TRezidu;
}

// The main window: the aircraft list, the paint rows of the selected
// aircraft, the preview and the buttons. It holds no state of the player's
// files: the hangar does, and every change is asked of it and then drawn
// from it. Each visible list has a hidden twin holding, row for row, the file
// path behind the visible row; the twins are written from the hangar and
// never read back.
class TRezidu : public QWidget
{
    Q_OBJECT

public:
    // Takes the opened settings store; FormClose releases it.
    explicit TRezidu(std::unique_ptr<SettingsStore> settings, QWidget *parent = nullptr);
    ~TRezidu() override;

    void setAboutForm(QDialog *aboutForm) { m_aboutForm = aboutForm; }
    void setEditForm(TEditForm *editForm);
    // Shows the window, and what the player asked to see beside it.
    void showAtStart(const StartOptions &options);

    // Installs textures and paint archives, showing the plan first. The
    // chosen aircraft (a row of InList, or -1 to match each texture) and the
    // paint name (empty for names made from the file names) go to the plan.
    void installDownloads(const QStringList &paths, int chosenAircraft, const QString &paintName = QString());
    TInstallForm *installForm() const;

    // For the collection window, which draws this window's hangar and
    // changes it only through the operations below, so both windows show
    // one selection and ask the same questions.
    Hangar &hangar() { return m_hangar; }
    const Hangar &hangar() const { return m_hangar; }
    // A worker installs, restores or applies a set with the hangar: nothing
    // else may use it.
    bool hangarBusy() const;
    // Runs work on the hangar on a worker, as installs do (progress dialog,
    // Cancel), the hangar counting as busy meanwhile. False, running
    // nothing, when it is busy already.
    bool runOnHangar(QWidget *parent, const QString &label, WorkProgress &progress, const QString &stopping,
                     const std::function<void()> &work);
    // Null once the window has closed.
    PlayerSettings *settings() const { return Settings.get(); }
    enum class Reload { IfOther, Always };
    // As if the player had clicked the aircraft's row.
    void showAircraft(int index, Reload reload = Reload::IfOther);
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
    // The hangar was drawn anew: after any change, a selection or a scan.
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
    void closeEvent(QCloseEvent *event) override;
    void FormClose();

private:
    void startUp(std::unique_ptr<SettingsStore> store);
    void bindHandlers();
    QFileDialog *findcfsDialog();
    QFileDialog *addtexDialog();
    QFileDialog *maintexDialog();
    AircraftScanner::MainTextureQuestion mainTextureQuestion();
    void selectAircraft(int row);
    // The one refresh path: both lists, their twins and the fields that
    // mirror the hangar, drawn from it.
    void showModel();
    void drawAircraft(const QList<AircraftEntry> &aircraft);
    void drawPaintTable();
    void forgetPaintTable();
    void askAgainForMainTexture();
    void showPreviewHint();
    void preview(const QString &texturePath);
    void previewNow(const QString &texturePath);
    void tell(const QString &message);
    void tell(const PaintResult &result);
    void showWhatTheFileHolds();
    bool toldOfChangesOnDisk();
    QString selectedPaintListPath() const;
    bool askToKeepChangedOriginal();
    void reloadAfterOutsideChange();

    std::unique_ptr<Ui::TRezidu> ui;
    std::unique_ptr<PlayerSettings> Settings;
    QDialog *m_aboutForm = nullptr;
    TEditForm *EditForm = nullptr;
    // The aircraft are row for row with InList and InList1, the paint table
    // of the selected one with OutList and OutList1.
    Hangar m_hangar;
    std::unique_ptr<PaintImport> m_import;
    bool m_hangarWork = false; // runOnHangar's worker is running
    DownloadDrop *m_drop = nullptr;
    // Lists without a main texture whose player was asked since the scan.
    QSet<QString> m_askedForMainTexture;
    // The selected aircraft's list and main texture, for changes made
    // outside the window.
    AircraftWatch *m_watch = nullptr;
    // Loads that a held key asks for faster than they are made wait for the
    // row the lists settle on.
    SettledSelection *m_settled = nullptr;
};
