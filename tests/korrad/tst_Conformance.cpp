// Every reference texture, converted through the entry points, against the
// picture a trusted decoder made of it.

#include "KorradTestSupport.h"
#include "ReferenceTextures.h"

#include <QDir>
#include <QTest>

using namespace korradtest;

class ConformanceTest : public QObject
{
    Q_OBJECT

private slots:
    void matchesReference_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tolerance");
        for (const ReferenceTexture &texture : referenceTextures)
            QTest::newRow(texture.format) << QString(texture.name) << texture.tolerance;
    }

    void matchesReference()
    {
        QFETCH(QString, name);
        QFETCH(int, tolerance);
        const QString source = QDir(referenceFolder()).filePath(name + ".dds");
        QImage reference(QDir(referenceFolder()).filePath(name + ".png"));
        QVERIFY2(!reference.isNull(), "reference picture missing");
        reference = reference.convertToFormat(QImage::Format_RGB32);

        QVERIFY(isValid(source));
        QTemporaryDir folder;
        const auto converted = convert(source, folder, 2, 0);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->size(), reference.size());
        const int difference = largestDifference(*converted, reference);
        QVERIFY2(difference <= tolerance, qPrintable(QString("off by %1").arg(difference)));
    }

    void greyIsLumaOfTheColourPicture()
    {
        const QString source = QDir(referenceFolder()).filePath("dxt5-argb-8bbp-interpolatedalpha_MipMaps-1.dds");
        QTemporaryDir folder;
        const auto colour = convert(source, folder, 2, 0, false);
        const auto grey = convert(source, folder, 2, 0, true);
        QVERIFY(colour && grey);
        QCOMPARE(grey->size(), colour->size());
        for (int y = 0; y < colour->height(); ++y)
            for (int x = 0; x < colour->width(); ++x) {
                const QRgb c = colour->pixel(x, y), g = grey->pixel(x, y);
                const int luma = int(std::lround(0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c)));
                QCOMPARE(qRed(g), luma);
                QCOMPARE(qGreen(g), luma);
                QCOMPARE(qBlue(g), luma);
            }
    }
};

int runConformanceTests(int argc, char **argv)
{
    ConformanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Conformance.moc"
