// The control placed by a Designer form, the way the main window holds it.

#include "PreviewTestSupport.h"
#include "ui_ThumbnailForm.h"

#include <QTest>

class ThumbnailFormTest : public QObject
{
    Q_OBJECT

private slots:
    void formSetsThePublishedProperties()
    {
        PreviewScene scene;
        QWidget window;
        Ui::ThumbnailForm form;
        form.setupUi(&window);
        TThumbnail *thumbnail = form.Thumbnail1;
        QCOMPARE(thumbnail->geometry(), QRect(176, 8, 520, 520));
        QVERIFY(!thumbnail->ShowLabel());
        QCOMPARE(thumbnail->BitmapSize(), 512);
        QVERIFY(thumbnail->Border());
        QVERIFY(!thumbnail->UseCache());

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        thumbnail->SetFileName(QStringLiteral(CORVANE_TESTDATA_DIR "/dds/dxt1-rgb-4bbp-noalpha_MipMaps-1.dds"));
        QVERIFY(thumbnail->HasPicture());
        QCOMPARE(thumbnail->geometry(), QRect(176, 8, 520, 520));
        QCOMPARE(QRect(thumbnail->PictureLeft(), thumbnail->PictureTop(), thumbnail->Picture().width(),
                       thumbnail->Picture().height()),
                 QRect(4, 4, 512, 512));
        QCOMPARE(scene.leftInTemp(), QStringList());
    }
};

int runThumbnailFormTests(int argc, char **argv)
{
    ThumbnailFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ThumbnailForm.moc"
