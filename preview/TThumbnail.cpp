#include "TThumbnail.h"

#include "BitmapFile.h"
#include "LabelFit.h"
#include "PictureConversion.h"
#include "ThumbnailGeometry.h"
#include "ThumbnailNames.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>

namespace {
// The frame and one pixel on each side of the label.
constexpr int LabelMargin = 4;
} // namespace

TThumbnail::TThumbnail(QWidget *parent)
    : QWidget(parent), m_libraryName(QString::fromLatin1(ConversionLibrary::DefaultName))
{
    // Outside the parent until the owner places it.
    move(-120, -120);
    resize(88, 100);
    m_color = palette().color(QPalette::Button);
    m_colorUp = m_color;
    m_colorDown = m_color;
}

TThumbnail::~TThumbnail() = default;

void TThumbnail::SetFileName(const QString &name)
{
    if (name == m_fileName)
        return;
    m_fileName = name;
    LoadPicture(m_fileName);
    showLoaded();
    emit FileNameChanged(m_fileName);
}

void TThumbnail::showLoaded()
{
    // A picture is on screen before the setter returns. An empty square can
    // wait for the event loop, where it merges with the paint of whatever is
    // set next: the main window sets the empty name right before each path.
    if (m_hasPicture)
        repaint();
    else
        update();
}

void TThumbnail::SetDown(bool value)
{
    m_down = value;
    m_color = value ? m_colorDown : m_colorUp;
    repaint();
}

void TThumbnail::SetUseCache(bool value)
{
    m_cacheWrite = value;
    m_useCache = value;
}

void TThumbnail::SetBitmapSize(int value)
{
    if (value == m_bitmapSize)
        return;
    m_bitmapSize = value;
    m_totalHeight = FrameHeight();
    if (!m_hasPicture)
        return;
    if (m_useCache) {
        RebuildCache();
        return;
    }
    LoadPicture(m_fileName);
    showLoaded();
}

void TThumbnail::SetShowLabel(bool value)
{
    if (value == m_showLabel)
        return;
    m_showLabel = value;
    repaint();
}

void TThumbnail::SetBorder(bool value)
{
    if (value == m_border)
        return;
    m_border = value;
    repaint();
}

void TThumbnail::SetHintText(const QString &text)
{
    if (text == m_hintText)
        return;
    m_hintText = text;
    repaint();
}

void TThumbnail::RebuildCache()
{
    if (!m_useCache || m_fileName.isEmpty())
        return;
    m_useCache = false;
    LoadPicture(m_fileName);
    m_useCache = true;
    showLoaded();
}

void TThumbnail::ExportBitmap(const QString &path, int size)
{
    const bool rememberedUseCache = m_useCache;
    m_exportSize = size;
    if (size != 0) {
        m_exporting = true;
        m_exportTarget = QImage();
        m_useCache = false;
        LoadPicture(m_fileName);
        // The shown picture stays; a failed conversion empties the square.
        update();
        if (!m_exportTarget.isNull())
            BitmapFile::write(m_exportTarget, path);
        m_exportTarget = QImage();
        m_exporting = false;
    }
    m_useCache = rememberedUseCache;
    m_exportSize = 0;
}

void TThumbnail::DeleteCache()
{
    if (!m_cacheFileName.isEmpty())
        QFile::remove(m_cacheFileName);
}

void TThumbnail::SaveBitmap(const QString &path)
{
    BitmapFile::write(m_picture, path.isEmpty() ? m_cacheFileName : path);
}

int TThumbnail::FrameHeight() const
{
    return m_bitmapSize + (m_showLabel ? 20 : 8);
}

void TThumbnail::LoadPicture(const QString &name)
{
    const PictureRequest request = PictureRequest::forSquare(m_bitmapSize, m_fullSize, m_exportSize != 0, m_greyscale);

    m_wasCached = false;
    m_hasPicture = false;
    m_fileName = name;
    m_labelText = ThumbnailNames::fileNamePart(name);
    m_fileExt = ThumbnailNames::extension(name);
    m_cacheFileName = ThumbnailNames::cacheFileName(name, m_cacheDirectory);

    if (m_useCache) {
        QFile probe(m_cacheFileName);
        if (probe.open(QIODevice::ReadOnly)) {
            probe.close();
            // A cache file that is not a bitmap leaves the square empty.
            ReadCacheFile();
            return;
        }
    }

    const ConvertedPicture converted = convertPicture(name, request, m_libraryName, m_workArea.data());
    m_tempFileName = converted.bitmapPath();
    if (converted.result)
        m_hasPicture = TakeConvertedPicture(BitmapFile::read(m_tempFileName));
}

bool TThumbnail::ReadCacheFile()
{
    QImage cached = BitmapFile::read(m_cacheFileName);
    if (cached.isNull())
        return false;
    m_picture = std::move(cached);
    m_pictureLeft = ThumbnailGeometry::centredOffset(m_bitmapSize, m_picture.width());
    m_pictureTop = ThumbnailGeometry::centredOffset(m_bitmapSize, m_picture.height());
    m_wasCached = true;
    m_hasPicture = true;
    return true;
}

bool TThumbnail::TakeConvertedPicture(const QImage &converted)
{
    using namespace ThumbnailGeometry;
    const auto fit = fitInSquare(converted.width(), converted.height(), m_bitmapSize);
    if (!fit)
        return false;
    m_pictureLeft = fit->left;
    m_pictureTop = fit->top;

    auto stretched = [&converted](int width, int height) {
        if (width == converted.width() && height == converted.height())
            return converted;
        return converted.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    if (m_exporting) {
        const int width = exportExtent(m_exportSize, fit->width, m_bitmapSize);
        const int height = exportExtent(m_exportSize, fit->height, m_bitmapSize);
        if (width < 1 || height < 1)
            return false;
        m_exportTarget = stretched(width, height);
        return !m_exportTarget.isNull();
    }
    QImage picture = stretched(fit->width, fit->height);
    if (picture.isNull())
        return false;
    m_picture = std::move(picture);
    if (m_cacheWrite)
        BitmapFile::write(m_picture, m_cacheFileName);
    return true;
}

void TThumbnail::paintEvent(QPaintEvent *)
{
    m_totalHeight = FrameHeight();
    const int width = m_bitmapSize + 8;
    const int height = m_totalHeight;
    if (this->width() != width || this->height() != height)
        resize(width, height);

    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width, height), m_color);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));

    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Shadow);
    QColor leftTop = m_color, rightBottom = m_color;
    if (m_border) {
        leftTop = m_down ? shadow : light;
        rightBottom = m_down ? light : shadow;
    } else if (m_down) {
        leftTop = rightBottom = shadow;
    }
    painter.fillRect(QRect(0, 0, 1, height), leftTop);
    painter.fillRect(QRect(0, 0, width - 1, 1), leftTop);
    painter.fillRect(QRect(width - 1, 0, 1, height), rightBottom);
    painter.fillRect(QRect(1, height - 1, width - 1, 1), rightBottom);

    if (m_showLabel && !m_labelText.isEmpty()) {
        const QFontMetrics metrics(font());
        const corvane::controls::FittedLabel label = corvane::controls::fitLabel(
            m_labelText, m_bitmapSize, [&metrics](const QString &text) { return metrics.horizontalAdvance(text); },
            LabelMargin);
        const int top = m_totalHeight - metrics.height() - 2;
        const int left = (m_bitmapSize - label.width) / 2 + 4;
        if (!label.text.isEmpty())
            painter.drawText(left, top + metrics.ascent(), label.text);
    }

    if (m_hasPicture)
        painter.drawImage(m_pictureLeft, m_pictureTop, m_picture);
    else if (!m_hintText.isEmpty())
        painter.drawText(QRect(4, 4, m_bitmapSize, m_bitmapSize).adjusted(8, 8, -8, -8),
                         Qt::AlignCenter | Qt::TextWordWrap, m_hintText);
}

void TThumbnail::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void TThumbnail::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
