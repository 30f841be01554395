// The thumbnailer as a file manager runs it: a separate process, judged by
// its exit code and the PNG it leaves.

#include "DdsWriter.h"
#include "ReferenceTextures.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <sys/stat.h>

namespace {

struct Run
{
    int exitCode = -1;
    QImage png; // null when no file was left
    QString said; // on standard error
};

Run thumbnail(const QStringList &arguments, const QString &output)
{
    QFile::remove(output);
    QProcess process;
    process.start(QStringLiteral(THUMBNAILER), arguments);
    // Only a guard against a hang: a thumbnail takes milliseconds.
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    Run run;
    run.said = QString::fromLocal8Bit(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    if (QFile::exists(output))
        run.png = QImage(output, "PNG");
    if (QFile::exists(output) && run.png.isNull())
        run.png = QImage(1, 1, QImage::Format_Mono); // something that is not a PNG: caught by the callers
    return run;
}

QString save(const QTemporaryDir &dir, const QString &name, const std::vector<std::uint8_t> &bytes)
{
    const QString path = dir.filePath(name);
    ddstest::writeFile(QFile::encodeName(path).toStdString(), bytes);
    return path;
}

struct Difference
{
    int largest = 0;
    double mean = 0;
};

Difference differenceOf(const QImage &a, const QImage &b)
{
    Difference d;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int channel : {std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))}) {
                d.largest = std::max(d.largest, channel);
                sum += channel;
            }
        }
    d.mean = sum / (3.0 * a.width() * a.height());
    return d;
}

} // namespace

class ThumbnailerTest : public QObject
{
    Q_OBJECT

private slots:
    void referenceTexturesBecomeTheirPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tolerance");
        for (const ReferenceTexture &texture : referenceTextures)
            QTest::newRow(texture.format) << QString(texture.name) << texture.tolerance;
    }
    void referenceTexturesBecomeTheirPictures()
    {
        QFETCH(QString, name);
        QFETCH(int, tolerance);
        const QDir references(referenceTextureFolder());
        const QImage reference = QImage(references.filePath(name + ".png")).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!reference.isNull(), "reference picture missing");
        QTemporaryDir dir;
        const QString output = dir.filePath("thumb.png");

        // 256 is the file managers' "large": smaller references keep their
        // size, larger ones are shrunk, with their proportions.
        const Run large = thumbnail({"-s", "256", references.filePath(name + ".dds"), output}, output);
        QCOMPARE(large.exitCode, 0);
        const QImage picture = large.png.convertToFormat(QImage::Format_RGB32);
        if (reference.width() <= 256 && reference.height() <= 256) {
            QCOMPARE(picture.size(), reference.size());
            const int largest = differenceOf(picture, reference).largest;
            QVERIFY2(largest <= tolerance, qPrintable(QString("off by %1").arg(largest)));
        } else {
            const QImage shrunk = reference.scaled(256, 256, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            QCOMPARE(picture.size(), shrunk.size());
            const double mean = differenceOf(picture, shrunk).mean;
            QVERIFY2(mean <= 2.0, qPrintable(QString("off by %1 on average").arg(mean)));
        }

        const Run small = thumbnail({"-s", "32", references.filePath(name + ".dds"), output}, output);
        QCOMPARE(small.exitCode, 0);
        QCOMPARE(small.png.size(), reference.size().scaled(32, 32, Qt::KeepAspectRatio));
    }

    // Proportions kept, channels in place, and the preview road's 512-pixel
    // ceiling however large a size is asked for.
    void sizesAndProportions_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("mipLevels");
        QTest::addColumn<int>("size");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("wide, normal") << 1024 << 512 << 11 << 128 << QSize(128, 64);
        QTest::newRow("tall, odd size") << 256 << 1024 << 1 << 100 << QSize(25, 100);
        QTest::newRow("large without mips") << 4096 << 4096 << 1 << 256 << QSize(256, 256);
        QTest::newRow("xx-large asked") << 2048 << 2048 << 12 << 1024 << QSize(512, 512);
        QTest::newRow("smaller than asked") << 64 << 32 << 1 << 256 << QSize(64, 32);
    }
    void sizesAndProportions()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, mipLevels);
        QFETCH(int, size);
        QFETCH(QSize, expected);
        QTemporaryDir dir;
        const auto levels = ddstest::mipChain(ddstest::solid(width, height, 200, 40, 90), mipLevels);
        const QString input = save(dir, "paint_t.dds", ddstest::legacyBlockDds(levels, ddstest::Block::Bc1, "DXT1"));
        const QString output = dir.filePath("thumb.png");
        const Run run = thumbnail({"-s", QString::number(size), input, output}, output);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.png.size(), expected);
        const QRgb centre = run.png.pixel(expected.width() / 2, expected.height() / 2);
        QVERIFY(std::abs(qRed(centre) - 200) <= 8 && std::abs(qGreen(centre) - 40) <= 8 && std::abs(qBlue(centre) - 90) <= 8);
    }

    // File managers keep the PNG as it is written, one per texture shown.
    void thumbnailsAreDeflated()
    {
        QTemporaryDir dir;
        const QString input = save(dir, "paint_t.dds",
                                   ddstest::legacyBlockDds({ddstest::gradient(512, 512)}, ddstest::Block::Bc1, "DXT1"));
        const QString output = dir.filePath("thumb.png");
        const Run run = thumbnail({"-s", "256", input, output}, output);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.png.size(), QSize(256, 256));
        // Stored without deflate, its 256 rows of 768 bytes would take more.
        QVERIFY2(QFileInfo(output).size() < 256 * 768 / 4, qPrintable(QString::number(QFileInfo(output).size())));
    }

    void fileUrisAreTakenLikePaths()
    {
        QTemporaryDir dir;
        const QString input = save(dir, "a paint #1.dds",
                                   ddstest::legacyBlockDds({ddstest::gradient(64, 64)}, ddstest::Block::Bc3, "DXT5"));
        const QString output = dir.filePath("thumb.png");
        const Run run = thumbnail({"--size", "64", QUrl::fromLocalFile(input).toString(QUrl::FullyEncoded), output}, output);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.png.size(), QSize(64, 64));
    }

    // Run on every DDS a file manager meets: each must end quickly, say no,
    // and leave no file for the file manager to take as a thumbnail.
    void brokenAndForeignFilesGiveNoThumbnail_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said"); // the reason, after the file's name
        QTest::newRow("empty") << "empty" << "This file is not a DDS texture.";
        QTest::newRow("magic only") << "magic only" << "This picture is a DDS texture of a kind or size that cannot be read.";
        QTest::newRow("cut in the pixels") << "cut in the pixels" << "This picture is a DDS texture of a kind or size";
        QTest::newRow("header claims 16384 squared") << "header claims 16384 squared" << "This picture is a DDS texture";
        QTest::newRow("PNG named .dds") << "PNG named .dds" << "This file is not a DDS texture.";
        QTest::newRow("folder") << "folder" << "This is not a regular file.";
        QTest::newRow("pipe") << "pipe" << "This is not a regular file.";
        QTest::newRow("missing") << "missing" << "This file does not exist.";
        QTest::newRow("output folder missing") << "output folder missing" << "No such file or directory";
    }
    void brokenAndForeignFilesGiveNoThumbnail()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString input = dir.filePath("bad.dds");
        QString output = dir.filePath("thumb.png");
        auto good = ddstest::legacyBlockDds({ddstest::gradient(256, 256)}, ddstest::Block::Bc1, "DXT1");
        if (kind == "empty")
            save(dir, "bad.dds", {});
        else if (kind == "magic only")
            save(dir, "bad.dds", {'D', 'D', 'S', ' '});
        else if (kind == "cut in the pixels")
            save(dir, "bad.dds", std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 2));
        else if (kind == "header claims 16384 squared") {
            ddstest::put32(good, ddstest::field::Width, 16384);
            ddstest::put32(good, ddstest::field::Height, 16384);
            save(dir, "bad.dds", good);
        } else if (kind == "PNG named .dds")
            QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(input, "PNG"));
        else if (kind == "folder")
            QVERIFY(QDir().mkpath(input));
        else if (kind == "pipe")
            QCOMPARE(mkfifo(QFile::encodeName(input).constData(), 0600), 0);
        else if (kind == "output folder missing") {
            save(dir, "bad.dds", good);
            output = dir.filePath("gone/thumb.png");
        }
        const Run run = thumbnail({"-s", "128", input, output}, output);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.png.isNull());
        const QString named = kind == "output folder missing" ? output : input;
        QVERIFY2(run.said.contains(QDir::toNativeSeparators(named) + ": " + said), qPrintable(run.said));
    }

    void wrongCommandLinesAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no size") << QStringList{"in.dds", "out.png"};
        QTest::newRow("size zero") << QStringList{"-s", "0", "in.dds", "out.png"};
        QTest::newRow("size not a number") << QStringList{"-s", "large", "in.dds", "out.png"};
        QTest::newRow("size too large") << QStringList{"-s", "100000", "in.dds", "out.png"};
        QTest::newRow("no output") << QStringList{"-s", "128", "in.dds"};
        QTest::newRow("unknown option") << QStringList{"-s", "128", "-x", "in.dds", "out.png"};
    }
    void wrongCommandLinesAreRefused()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        save(dir, "in.dds", ddstest::legacyBlockDds({ddstest::gradient(64, 64)}, ddstest::Block::Bc1, "DXT1"));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(THUMBNAILER), arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(!QFile::exists(dir.filePath("out.png")));
    }
};

QTEST_GUILESS_MAIN(ThumbnailerTest)
#include "tst_Thumbnailer.moc"
