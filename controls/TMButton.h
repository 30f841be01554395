#pragma once

#include "OwnerDrawnControl.h"

#include <QColor>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <optional>

// A picture button that draws its own one-pixel 3-D frame. It can latch, act
// as a left/right rocker, show its frame only while hovered (Border false)
// and drop a menu down under itself. Mouse only: it takes no focus.
class TMButton : public corvane::controls::OwnerDrawnControl
{
    Q_OBJECT
    Q_PROPERTY(QMenu *DropDownMenu READ dropDownMenu WRITE setDropDownMenu)
    Q_PROPERTY(QPixmap Bitmap READ bitmap WRITE SetBitmap)
    Q_PROPERTY(bool Latch READ latch WRITE setLatch)
    Q_PROPERTY(bool Highlight READ highlight WRITE setHighlight)
    Q_PROPERTY(bool Down READ down WRITE setDown)
    Q_PROPERTY(bool Border READ border WRITE setBorder)
    Q_PROPERTY(bool Stretch READ stretch WRITE setStretch)
    Q_PROPERTY(bool RockerLR READ rockerLR WRITE setRockerLR)
    Q_PROPERTY(bool RockerUD READ rockerUD WRITE setRockerUD)
    Q_PROPERTY(bool ClickLeft READ clickLeft)
    Q_PROPERTY(QColor ColorDark READ colorDark WRITE setColorDark RESET resetColorDark)
    Q_PROPERTY(QColor ColorLight READ colorLight WRITE setColorLight RESET resetColorLight)

public:
    explicit TMButton(QWidget *parent = nullptr);
    ~TMButton() override;

    QMenu *dropDownMenu() const { return m_dropDownMenu; }
    void setDropDownMenu(QMenu *menu) { m_dropDownMenu = menu; }

    const QPixmap &bitmap() const { return m_bitmap; }
    virtual void SetBitmap(const QPixmap &picture);

    bool latch() const { return m_latch; }
    bool highlight() const { return m_highlight; }
    bool down() const { return m_down; }
    bool border() const { return m_border; }
    bool stretch() const { return m_stretch; }
    bool rockerLR() const { return m_rockerLR; }
    bool rockerUD() const { return m_rockerUD; }
    bool clickLeft() const { return m_clickLeft; }
    void setLatch(bool value) { SetFlag(1, value); }
    void setDown(bool value) { SetFlag(2, value); }
    void setBorder(bool value) { SetFlag(3, value); }
    void setStretch(bool value) { SetFlag(5, value); }
    void setRockerLR(bool value) { SetFlag(6, value); }
    void setRockerUD(bool value) { SetFlag(7, value); }
    void setHighlight(bool value) { SetFlag(8, value); }

    // Unset, these follow the palette: ColorDark is the system 3-D dark
    // shadow (COLOR_3DDKSHADOW, 0x80000015, QPalette::Shadow), ColorLight the
    // system 3-D light (COLOR_3DLIGHT, 0x80000016, QPalette::Light). Writing
    // them repaints nothing; the next paint picks them up.
    QColor colorDark() const;
    QColor colorLight() const;
    void setColorDark(const QColor &color) { m_colorDark = color; }
    void setColorLight(const QColor &color) { m_colorLight = color; }
    void resetColorDark() { m_colorDark.reset(); }
    void resetColorLight() { m_colorLight.reset(); }

    // The erase colour and the colour of a flat frame: the palette's window
    // colour, inherited from the parent until set.

    // Stores value into the property that index names (1 Latch, 2 Down,
    // 3 Border, 5 Stretch, 6 RockerLR, 7 RockerUD, 8 Highlight; 4 names
    // none) and repaints at once, whether or not the value changed.
    virtual void SetFlag(int index, bool value);
    // Repaints at once.
    virtual void Changed();

    bool isTracking() const { return m_tracking; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void startTracking();
    void stopTracking();

    QPointer<QMenu> m_dropDownMenu;
    QPixmap m_bitmap;
    bool m_latch = false;
    bool m_highlight = true;
    bool m_down = false;
    bool m_border = true;
    bool m_stretch = true;
    bool m_rockerLR = false;
    bool m_rockerUD = false;
    bool m_clickLeft = false;
    std::optional<QColor> m_colorDark;
    std::optional<QColor> m_colorLight;

    bool m_tracking = false;
    bool m_hotPaint = false;
    int m_pressX = 0;
};
