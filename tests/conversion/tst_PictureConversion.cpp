// The one road from a picture file to a BMP: what it asks the library for,
// what it leaves behind, the reasons it gives and that threads may share it.

#include "DdsWriter.h"
#include "PictureConversion.h"
#include "PictureFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

namespace {

QString saveTexture(const QTemporaryDir &dir, const QString &name, std::uint32_t width, std::uint32_t height,
                    std::uint32_t levels = 1)
{
    const QString path = dir.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    ddstest::writeFile(QFile::encodeName(path).toStdString(),
                       ddstest::legacyBlockDds(ddstest::mipChain(ddstest::gradient(width, height), levels),
                                               ddstest::Block::Bc1, "DXT1"));
    return path;
}

// The temporary folder the road writes into, watched for leftovers.
struct TemporaryFolder
{
    TemporaryFolder()
    {
        qputenv("TEMP", QFile::encodeName(folder.path()));
        qunsetenv("TMP");
    }
    ~TemporaryFolder() { qunsetenv("TEMP"); }
    QStringList left() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }
    QTemporaryDir folder;
};

} // namespace

class PictureConversionTest : public QObject
{
    Q_OBJECT

private slots:
    // A preview never asks for less than it shows, nor for more than the
    // smallest stored level that serves.
    void sidesPickTheSmallestHintThatServes_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("hint");
        QTest::newRow("1") << 1 << int(KORRAD_HINT_SMALL);
        QTest::newRow("64") << 64 << int(KORRAD_HINT_SMALL);
        QTest::newRow("65") << 65 << int(KORRAD_HINT_MEDIUM);
        QTest::newRow("128") << 128 << int(KORRAD_HINT_MEDIUM);
        QTest::newRow("129") << 129 << int(KORRAD_HINT_LARGE);
        QTest::newRow("512") << 512 << int(KORRAD_HINT_LARGE);
        QTest::newRow("513, full size") << 513 << int(KORRAD_FULL_SIZE);
    }
    void sidesPickTheSmallestHintThatServes()
    {
        QFETCH(int, side);
        QFETCH(int, hint);
        const PictureRequest request = PictureRequest::forSide(side, true);
        QCOMPARE(request.sizeHint, hint);
        QCOMPARE(request.mode, int(PictureRequest::Preview));
        QVERIFY(request.grey);
        QVERIFY(hint == KORRAD_FULL_SIZE || korrad_preview_side(hint) >= side);
    }

    // Each failure names the file it concerns and the system's own reason;
    // nothing stays in the temporary folder, whatever the outcome.
    void outcomesCarryTheirReasons_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("library");
        QTest::addColumn<QString>("file"); // "source", or the library's name
        QTest::addColumn<QString>("reason");
        QTest::newRow("texture") << "texture" << "korrad" << "source" << "";
        QTest::newRow("missing") << "missing" << "korrad" << "source" << "This picture cannot be opened: ";
        QTest::newRow("folder") << "folder" << "korrad" << "source" << "This picture is not a regular file.";
        QTest::newRow("not a picture") << "junk" << "korrad" << "source" << "This picture is not a picture that can be read";
        QTest::newRow("no name") << "empty" << "korrad" << "source" << "This picture has no name.";
        QTest::newRow("no library") << "texture" << "korrad-that-is-not-there" << "library"
                                    << "The conversion library could not be loaded: ";
        QTest::newRow("library that gives no reason") << "junk" << "fakekorrad" << "source"
                                                      << "The conversion library cannot read this picture.";
        QTest::newRow("library without an entry point")
            << "texture" << "fakekorrad_novalid" << "library"
            << "The conversion library lacks an entry point: _Pic_Valid";
    }
    void outcomesCarryTheirReasons()
    {
        QFETCH(QString, kind);
        QFETCH(QString, library);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        TemporaryFolder temp;
        QTemporaryDir dir;
        QString source;
        if (kind == "texture")
            source = saveTexture(dir, "plane_t.dds", 256, 128);
        else if (kind == "missing")
            source = dir.filePath("gone.dds");
        else if (kind == "folder")
            QVERIFY(QDir().mkpath(source = dir.filePath("folder.dds")));
        else if (kind == "junk") {
            QFile junk(source = dir.filePath("junk.dds"));
            QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("not a picture") > 0);
        }
        qputenv("FAKE_KORRAD_VALID", "0");
        {
            const ConvertedPicture converted = convertPicture(source, PictureRequest::forSide(512), library);
            QCOMPARE(bool(converted.result), reason.isEmpty());
            QCOMPARE(converted.result.file, file == "source" ? QDir::toNativeSeparators(source) : library);
            QVERIFY2(reason.isEmpty() ? converted.result.reason.isEmpty() : converted.result.reason.startsWith(reason),
                     qPrintable(converted.result.reason));
            if (reason.isEmpty()) {
                const Picture picture = PictureFile::readBmp(converted.bitmapPath());
                QCOMPARE(QSize(picture.width, picture.height), QSize(256, 128));
                QCOMPARE(temp.left().size(), 1);
            } else {
                QVERIFY(converted.bitmapPath().isEmpty());
            }
        }
        qunsetenv("FAKE_KORRAD_VALID");
        QCOMPARE(temp.left(), QStringList());
    }

    // The preview's road reads the smallest level that serves: a texture
    // whose levels differ in colour shows the level asked for.
    void aPreviewReadsAMipmapLevelNotTheWholeTexture()
    {
        QTemporaryDir dir;
        std::vector<ddstest::RgbaImage> levels = ddstest::mipChain(ddstest::solid(2048, 2048, 250, 0, 0), 12);
        for (std::size_t level = 1; level < levels.size(); ++level)
            levels[level] = ddstest::solid(levels[level].width, levels[level].height, 0, 0, 250);
        const QString source = dir.filePath("large_t.dds");
        ddstest::writeFile(QFile::encodeName(source).toStdString(),
                           ddstest::legacyBlockDds(levels, ddstest::Block::Bc1, "DXT1"));
        const ConvertedPicture converted = convertPicture(source, PictureRequest::forSide(128));
        QVERIFY2(converted.result, qPrintable(converted.result.line()));
        const Picture picture = PictureFile::readBmp(converted.bitmapPath());
        QCOMPARE(QSize(picture.width, picture.height), QSize(128, 128));
        QVERIFY2(picture.rgb[2] > 200 && picture.rgb[0] < 50, "the full-size level was decoded");
    }

    // Many threads converting at once each get their own picture and their
    // own reason, and leave nothing behind.
    void threadsConvertAtOnce()
    {
        TemporaryFolder temp;
        QTemporaryDir dir;
        constexpr int Threads = 4;
        constexpr int Rounds = 8;
        QStringList sources;
        for (int i = 0; i < Threads; ++i)
            sources << saveTexture(dir, QString("same_t.dds").prepend(QString::number(i) + "/"), 64 + 32 * i, 64);
        // Same file names in different folders: the temporary BMPs must differ.
        std::vector<std::thread> threads;
        std::vector<QStringList> problems(Threads);
        for (int i = 0; i < Threads; ++i)
            threads.emplace_back([&, i] {
                for (int round = 0; round < Rounds; ++round) {
                    const bool failing = (round + i) % 2 == 1;
                    const QString source = failing ? dir.filePath("none.dds") : sources[i];
                    const ConvertedPicture converted = convertPicture(source, PictureRequest::forSide(512));
                    const Picture picture = failing ? Picture{} : PictureFile::readBmp(converted.bitmapPath());
                    if (failing && !converted.result.reason.startsWith("This picture cannot be opened"))
                        problems[i] << converted.result.line();
                    if (!failing && (!converted.result || picture.width != 64 + 32 * i))
                        problems[i] << converted.result.line() + QString(" width %1").arg(picture.width);
                }
            });
        for (std::thread &thread : threads)
            thread.join();
        for (const QStringList &found : problems)
            QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
        QCOMPARE(temp.left(), QStringList());
    }
};

int runPictureConversionTests(int argc, char **argv)
{
    PictureConversionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_PictureConversion.moc"
