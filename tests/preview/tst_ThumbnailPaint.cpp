// What the control draws, its published properties, and its size.

#include "PreviewTestSupport.h"

#include <QMetaProperty>
#include <QTest>

namespace {

// Distinct system colours, so every pixel tells where it came from.
const QColor Face(200, 200, 200), Light(250, 250, 250), Shadow(10, 10, 10), Text(0, 0, 200);

void giveDistinctPalette(QWidget &widget)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Button, Face);
    palette.setColor(QPalette::Light, Light);
    palette.setColor(QPalette::Shadow, Shadow);
    palette.setColor(QPalette::WindowText, Text);
    widget.setPalette(palette);
}

QImage shown(TThumbnail &thumbnail)
{
    thumbnail.repaint(); // the first paint may still fix the size
    return thumbnail.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct Frame
{
    QColor left, top, right, bottom, topRightCorner, bottomLeftCorner;
};

Frame frameOf(const QImage &image)
{
    const int w = image.width(), h = image.height();
    return {image.pixelColor(0, h / 2), image.pixelColor(w / 2, 0), image.pixelColor(w - 1, h / 2),
            image.pixelColor(w / 2, h - 1), image.pixelColor(w - 1, 0), image.pixelColor(0, h - 1)};
}

// Text may be drawn smoothed (FreeType does on Windows) and then no pixel has
// quite the text colour: a pixel well on its way from the face to it counts.
bool anyTextPixel(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.red() <= (Face.red() + Text.red()) / 2 && pixel.green() <= (Face.green() + Text.green()) / 2
                && qAbs(pixel.blue() - Text.blue()) <= 25)
                return true;
        }
    }
    return false;
}

} // namespace

class ThumbnailPaintTest : public QObject
{
    Q_OBJECT

private slots:
    void publishedPropertiesInOrder()
    {
        const QMetaObject &meta = TThumbnail::staticMetaObject;
        QStringList names;
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
            const QMetaProperty property = meta.property(i);
            names << property.name();
            QCOMPARE(property.isWritable(), QByteArray(property.name()) != "WasCached");
        }
        QCOMPARE(names, QStringList({"ColorUp", "ColorDown", "FileName", "CacheDirectory", "Down", "UseCache",
                                     "WasCached", "ShowLabel", "BitmapSize", "Border", "Greyscale", "FullSize",
                                     "HintText"}));
    }

    void defaults()
    {
        TThumbnail thumbnail;
        const QColor face = thumbnail.palette().color(QPalette::Button);
        QCOMPARE(thumbnail.ColorUp(), face);
        QCOMPARE(thumbnail.ColorDown(), face);
        QCOMPARE(thumbnail.Color(), face);
        QCOMPARE(thumbnail.FileName(), QString());
        QCOMPARE(thumbnail.CacheDirectory(), QString());
        QVERIFY(!thumbnail.Down() && !thumbnail.UseCache() && !thumbnail.WasCached());
        QVERIFY(thumbnail.ShowLabel() && thumbnail.Border());
        QVERIFY(!thumbnail.Greyscale() && !thumbnail.FullSize() && !thumbnail.HasPicture());
        QCOMPARE(thumbnail.BitmapSize(), 80);
        QCOMPARE(thumbnail.TotalHeight(), 100);
        QCOMPARE(thumbnail.geometry(), QRect(-120, -120, 88, 100));
        QCOMPARE(thumbnail.LibraryName(), QString("korrad"));
    }

    void propertiesAreSetByName()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        QDir(scene.root.path()).mkpath("c");
        QVERIFY(thumbnail.setProperty("BitmapSize", 512));
        QVERIFY(thumbnail.setProperty("ShowLabel", false));
        QVERIFY(thumbnail.setProperty("Border", false));
        QVERIFY(thumbnail.setProperty("ColorDown", QColor(Qt::red)));
        QVERIFY(thumbnail.setProperty("Down", true));
        QVERIFY(thumbnail.setProperty("CacheDirectory", scene.path("c/")));
        QVERIFY(thumbnail.setProperty("UseCache", true));
        QVERIFY(thumbnail.setProperty("Greyscale", true));
        QVERIFY(thumbnail.setProperty("FullSize", true));
        QVERIFY(thumbnail.setProperty("FileName", scene.paint("plane_t.dds")));
        QCOMPARE(thumbnail.BitmapSize(), 512);
        QVERIFY(!thumbnail.ShowLabel() && !thumbnail.Border() && thumbnail.Down());
        QCOMPARE(thumbnail.Color(), QColor(Qt::red));
        QVERIFY(thumbnail.HasPicture());
        QVERIFY(scene.conversions().value(0).startsWith("grey|"));
        QVERIFY(QFile::exists(scene.path("c/plane_t._tm")));
    }

    void sizeIsFixedByThePaint()
    {
        TThumbnail thumbnail;
        thumbnail.SetBitmapSize(120);
        thumbnail.setGeometry(10, 10, 300, 40);
        thumbnail.show();
        QVERIFY(QTest::qWaitForWindowExposed(&thumbnail));
        thumbnail.repaint();
        QCOMPARE(thumbnail.size(), QSize(128, 140));
        thumbnail.SetShowLabel(false);
        thumbnail.repaint();
        QCOMPARE(thumbnail.size(), QSize(128, 128));
    }

    void frameColours_data()
    {
        QTest::addColumn<bool>("border");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QColor>("leftTop");
        QTest::addColumn<QColor>("rightBottom");
        QTest::newRow("raised") << true << false << Light << Shadow;
        QTest::newRow("pressed") << true << true << Shadow << Light;
        QTest::newRow("flat") << false << false << Face << Face;
        QTest::newRow("flat, pressed") << false << true << Shadow << Shadow;
    }

    void frameColours()
    {
        QFETCH(bool, border);
        QFETCH(bool, down);
        QFETCH(QColor, leftTop);
        QFETCH(QColor, rightBottom);
        TThumbnail thumbnail;
        giveDistinctPalette(thumbnail);
        thumbnail.SetColorUp(Face);
        thumbnail.SetColorDown(Face);
        thumbnail.SetBorder(border);
        thumbnail.SetDown(down);
        thumbnail.show();
        QVERIFY(QTest::qWaitForWindowExposed(&thumbnail));
        const Frame frame = frameOf(shown(thumbnail));
        QCOMPARE(frame.left, leftTop);
        QCOMPARE(frame.top, leftTop);
        QCOMPARE(frame.bottomLeftCorner, leftTop);
        QCOMPARE(frame.right, rightBottom);
        QCOMPARE(frame.bottom, rightBottom);
        QCOMPARE(frame.topRightCorner, rightBottom);
    }

    void downTakesItsColourAtTheNextWrite()
    {
        TThumbnail thumbnail;
        const QColor before = thumbnail.Color();
        thumbnail.SetColorDown(Qt::green);
        QCOMPARE(thumbnail.Color(), before);
        thumbnail.SetDown(true);
        QCOMPARE(thumbnail.Color(), QColor(Qt::green));
        thumbnail.SetColorUp(Qt::yellow);
        thumbnail.SetDown(false);
        thumbnail.show();
        QVERIFY(QTest::qWaitForWindowExposed(&thumbnail));
        QCOMPARE(shown(thumbnail).pixelColor(40, 40), QColor(Qt::yellow));
    }

    void pictureAndLabelAreDrawnInPlace()
    {
        PreviewScene scene;
        qputenv("FAKE_KORRAD_SIZE", "64x32");
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        giveDistinctPalette(thumbnail);
        thumbnail.SetColorUp(Face);
        thumbnail.SetDown(false);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        qunsetenv("FAKE_KORRAD_SIZE");
        thumbnail.show();
        QVERIFY(QTest::qWaitForWindowExposed(&thumbnail));

        // 80 x 40 at (4, 24): red left half, blue right half, face around.
        const QImage image = shown(thumbnail);
        QCOMPARE(image.size(), QSize(88, 100));
        QCOMPARE(image.pixelColor(4, 24), QColor(Qt::red));
        QCOMPARE(image.pixelColor(83, 63), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(40, 23), Face);
        QCOMPARE(image.pixelColor(40, 64), Face);
        QVERIFY(anyTextPixel(image, QRect(4, 86, 80, 12)));

        thumbnail.SetShowLabel(false);
        const QImage unlabelled = shown(thumbnail);
        QCOMPARE(unlabelled.size(), QSize(88, 88));
        QVERIFY(!anyTextPixel(unlabelled, QRect(1, 1, 86, 86)));
    }

    void failedLoadEmptiesTheSquare()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        giveDistinctPalette(thumbnail);
        thumbnail.SetColorUp(Face);
        thumbnail.SetDown(false);
        thumbnail.SetShowLabel(false);
        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        thumbnail.show();
        QVERIFY(QTest::qWaitForWindowExposed(&thumbnail));
        QCOMPARE(shown(thumbnail).pixelColor(10, 40), QColor(Qt::red));

        qputenv("FAKE_KORRAD_VALID", "0");
        thumbnail.SetFileName(scene.paint("broken_t.dds"));
        qunsetenv("FAKE_KORRAD_VALID");
        QCOMPARE(shown(thumbnail).pixelColor(10, 40), Face);
    }

    void hintShowsOnlyWithoutAPicture()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        giveDistinctPalette(thumbnail);
        thumbnail.SetShowLabel(false);
        thumbnail.SetBitmapSize(200);
        thumbnail.show();
        QVERIFY(QTest::qWaitForWindowExposed(&thumbnail));
        const QRect square(4, 4, 200, 200);
        QVERIFY(!anyTextPixel(shown(thumbnail), square));

        thumbnail.SetHintText("Nothing to show here.");
        QVERIFY(anyTextPixel(shown(thumbnail), square));

        thumbnail.SetFileName(scene.paint("plane_t.dds"));
        QVERIFY(thumbnail.HasPicture());
        QVERIFY(!anyTextPixel(shown(thumbnail), square));
    }

    void tinySquareWithLabelStillPaints()
    {
        PreviewScene scene;
        TThumbnail thumbnail;
        PreviewScene::useFake(thumbnail);
        thumbnail.SetBitmapSize(2);
        thumbnail.SetFileName(scene.paint("a_rather_long_name_t.dds"));
        thumbnail.show();
        QVERIFY(QTest::qWaitForWindowExposed(&thumbnail));
        QCOMPARE(shown(thumbnail).size(), QSize(10, 22));
    }

    void clicksAreSignalled()
    {
        TThumbnail thumbnail;
        thumbnail.show();
        QVERIFY(QTest::qWaitForWindowExposed(&thumbnail));
        int clicks = 0, doubleClicks = 0;
        connect(&thumbnail, &TThumbnail::clicked, [&clicks] { ++clicks; });
        connect(&thumbnail, &TThumbnail::doubleClicked, [&doubleClicks] { ++doubleClicks; });
        QTest::mouseClick(&thumbnail, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseDClick(&thumbnail, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(clicks >= 1);
        QCOMPARE(doubleClicks, 1);
    }
};

int runThumbnailPaintTests(int argc, char **argv)
{
    ThumbnailPaintTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ThumbnailPaint.moc"
