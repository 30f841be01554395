#pragma once

#include "OwnerDrawnControl.h"

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QWidget>

// A button that stands for a file: it shows the file's icon and name, can
// size itself to them, and can start the file when clicked (following a
// shortcut to its target first).
class TExeButton : public corvane::controls::OwnerDrawnControl
{
    Q_OBJECT
    Q_PROPERTY(QIcon Icon READ icon WRITE SetIcon)
    Q_PROPERTY(QString FileName READ fileName WRITE SetFileName)
    // Derived from FileName only; a form that tries to write it is ignored.
    Q_PROPERTY(QString FilePath READ filePath)
    Q_PROPERTY(QString FileExt READ fileExt WRITE setFileExt)
    Q_PROPERTY(QString Caption READ caption WRITE SetCaption)
    Q_PROPERTY(bool Latch READ latch WRITE setLatch)
    Q_PROPERTY(bool Down READ down WRITE setDown)
    Q_PROPERTY(bool Auto READ isAuto WRITE setAuto)
    Q_PROPERTY(bool AutoRun READ autoRun WRITE setAutoRun)
    Q_PROPERTY(bool ShowIcon READ showIcon WRITE setShowIcon)
    Q_PROPERTY(bool ShowLabel READ showLabel WRITE setShowLabel)
    Q_PROPERTY(bool LargeIcon READ largeIcon WRITE setLargeIcon)
    Q_PROPERTY(bool Border READ border WRITE setBorder)

public:
    explicit TExeButton(QWidget *parent = nullptr);
    ~TExeButton() override;

    const QIcon &icon() const { return m_icon; }
    // Takes the icon and its 16 x 16 copy; the new picture shows at the
    // next repaint.
    virtual void SetIcon(const QIcon &icon);
    const QPixmap &smallIcon() const { return m_smallIcon; }

    const QString &fileName() const { return m_fileName; }
    virtual void SetFileName(const QString &value);
    const QString &filePath() const { return m_filePath; }
    const QString &fileExt() const { return m_fileExt; }
    void setFileExt(const QString &value) { m_fileExt = value; }

    const QString &caption() const { return m_caption; }
    virtual void SetCaption(const QString &text);

    bool latch() const { return m_latch; }
    void setLatch(bool value) { m_latch = value; }

    bool down() const { return m_down; }
    bool isAuto() const { return m_auto; }
    bool autoRun() const { return m_autoRun; }
    bool showIcon() const { return m_showIcon; }
    bool showLabel() const { return m_showLabel; }
    bool largeIcon() const { return m_largeIcon; }
    bool border() const { return m_border; }
    void setAuto(bool value) { SetFlag(1, value); }
    void setAutoRun(bool value) { SetFlag(2, value); }
    void setShowIcon(bool value) { SetFlag(3, value); }
    void setShowLabel(bool value) { SetFlag(4, value); }
    void setLargeIcon(bool value) { SetFlag(5, value); }
    void setDown(bool value) { SetFlag(6, value); }
    void setBorder(bool value) { SetFlag(7, value); }


    // Stores value into the property that index names (1 Auto, 2 AutoRun,
    // 3 ShowIcon, 4 ShowLabel, 5 LargeIcon, 6 Down, 7 Border) and re-runs
    // the layout, whether or not the value changed.
    virtual void SetFlag(int index, bool value);
    // Resizes to icon and label when Auto is set, then repaints at once.
    virtual void UpdateLayout();

    // Starts the file, or a shortcut's target in the shortcut's folder.
    void Launch();

    int iconSize() const { return m_iconSize; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    static constexpr int IconLeft = 4;
    static constexpr int IconTop = 4;
    static constexpr int LabelWidth = 64;

    QIcon m_icon;
    QPixmap m_smallIcon;
    QString m_fileName;
    QString m_filePath;
    QString m_fileExt;
    QString m_caption;
    bool m_latch = false;
    bool m_down = false;
    bool m_auto = false;
    bool m_autoRun = false;
    bool m_showIcon = true;
    bool m_showLabel = true;
    bool m_largeIcon = true;
    bool m_border = true;
    int m_iconSize = 32;
};
