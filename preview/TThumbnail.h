#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include <array>

// Shows a picture file as a thumbnail: fitted, proportions kept, into a square
// of BitmapSize pixels, framed and optionally labelled with the file's name.
// Every picture is converted by the conversion library, loaded only for that
// one conversion, through a BMP in the temporary folder; the scaled result can
// be kept as a "._tm" cache file.
class TThumbnail : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor ColorUp READ ColorUp WRITE setColorUp)
    Q_PROPERTY(QColor ColorDown READ ColorDown WRITE setColorDown)
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName NOTIFY FileNameChanged)
    Q_PROPERTY(QString CacheDirectory READ CacheDirectory WRITE setCacheDirectory)
    Q_PROPERTY(bool Down READ Down WRITE setDown)
    Q_PROPERTY(bool UseCache READ UseCache WRITE setUseCache)
    Q_PROPERTY(bool WasCached READ WasCached)
    Q_PROPERTY(bool ShowLabel READ ShowLabel WRITE setShowLabel)
    Q_PROPERTY(int BitmapSize READ BitmapSize WRITE setBitmapSize)
    Q_PROPERTY(bool Border READ Border WRITE setBorder)
    Q_PROPERTY(bool Greyscale READ Greyscale WRITE setGreyscale)
    Q_PROPERTY(bool FullSize READ FullSize WRITE setFullSize)
    // Drawn in the square, wrapped, whenever there is no picture to show.
    Q_PROPERTY(QString HintText READ HintText WRITE setHintText)

public:
    explicit TThumbnail(QWidget *parent = nullptr);
    ~TThumbnail() override;

    QColor ColorUp() const { return m_colorUp; }
    QColor ColorDown() const { return m_colorDown; }
    QString FileName() const { return m_fileName; }
    QString CacheDirectory() const { return m_cacheDirectory; }
    bool Down() const { return m_down; }
    bool UseCache() const { return m_useCache; }
    bool WasCached() const { return m_wasCached; }
    bool ShowLabel() const { return m_showLabel; }
    int BitmapSize() const { return m_bitmapSize; }
    bool Border() const { return m_border; }
    bool Greyscale() const { return m_greyscale; }
    bool FullSize() const { return m_fullSize; }
    QString HintText() const { return m_hintText; }

    // Plain stores: the colours count from the next SetDown, the others from
    // the next load.
    void SetColorUp(const QColor &color) { m_colorUp = color; }
    void SetColorDown(const QColor &color) { m_colorDown = color; }
    void SetCacheDirectory(const QString &folder) { m_cacheDirectory = folder; }
    void SetGreyscale(bool value) { m_greyscale = value; }
    void SetFullSize(bool value) { m_fullSize = value; }

    virtual void SetFileName(const QString &name);
    virtual void SetDown(bool value);
    virtual void SetUseCache(bool value);
    virtual void SetBitmapSize(int value);
    virtual void SetShowLabel(bool value);
    virtual void SetBorder(bool value);
    void SetHintText(const QString &text);

    // Designer forms and setProperty() reach the setters above by these names.
    void setColorUp(const QColor &value) { SetColorUp(value); }
    void setColorDown(const QColor &value) { SetColorDown(value); }
    void setFileName(const QString &value) { SetFileName(value); }
    void setCacheDirectory(const QString &value) { SetCacheDirectory(value); }
    void setDown(bool value) { SetDown(value); }
    void setUseCache(bool value) { SetUseCache(value); }
    void setShowLabel(bool value) { SetShowLabel(value); }
    void setBitmapSize(int value) { SetBitmapSize(value); }
    void setBorder(bool value) { SetBorder(value); }
    void setGreyscale(bool value) { SetGreyscale(value); }
    void setFullSize(bool value) { SetFullSize(value); }
    void setHintText(const QString &value) { SetHintText(value); }

    // Converts the current file anew and rewrites its cache file; only while
    // UseCache is on and there is a file.
    void RebuildCache();
    // Converts the current file at full resolution and writes it, scaled so
    // the square becomes `size` pixels, as a BMP to `path`. Size 0 does
    // nothing; a failed conversion writes nothing.
    void ExportBitmap(const QString &path, int size);
    void DeleteCache();
    // Writes the shown picture as a BMP to `path`, or to the cache file when
    // `path` is empty; a failure is ignored.
    void SaveBitmap(const QString &path);

    // What the last load left behind.
    bool HasPicture() const { return m_hasPicture; }
    const QImage &Picture() const { return m_picture; }
    int PictureLeft() const { return m_pictureLeft; }
    int PictureTop() const { return m_pictureTop; }
    int TotalHeight() const { return m_totalHeight; }
    QString LabelText() const { return m_labelText; }
    QString FileExt() const { return m_fileExt; }
    QString CacheFileName() const { return m_cacheFileName; }
    QColor Color() const { return m_color; }

    // Which conversion library to load; the program keeps the default.
    void SetLibraryName(const QString &name) { m_libraryName = name; }
    QString LibraryName() const { return m_libraryName; }

signals:
    // After the load a new name started is done.
    void FileNameChanged(const QString &name);
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void LoadPicture(const QString &name);
    void showLoaded();
    bool ReadCacheFile();
    bool TakeConvertedPicture(const QImage &converted);
    int FrameHeight() const;

    QImage m_picture;
    QImage m_exportTarget;
    bool m_exporting = false;
    QColor m_color;
    QColor m_colorUp;
    QColor m_colorDown;
    QString m_tempFileName;
    QString m_fileName;
    QString m_labelText;
    QString m_fileExt;
    QString m_cacheFileName;
    QString m_cacheDirectory;
    QString m_libraryName;
    QString m_hintText;
    // Handed to the library at every conversion; the control never reads it.
    std::array<unsigned char, 1024> m_workArea{};
    int m_exportSize = 0;
    int m_bitmapSize = 80;
    int m_totalHeight = 100;
    int m_pictureTop = 0;
    int m_pictureLeft = 0;
    bool m_hasPicture = false;
    bool m_down = false;
    bool m_useCache = false;
    bool m_cacheWrite = false;
    bool m_wasCached = false;
    bool m_showLabel = true;
    bool m_border = true;
    bool m_greyscale = false;
    bool m_fullSize = false;
};
