#include "LoadedLists.h"
#include "AircraftMatcher.h"
#include "AircraftScanner.h"
#include "DdsWriter.h"
#include "Hangar.h"
#include "InstallPlan.h"
#include "PaintArchive.h"
#include "PaintListFile.h"
#include "PaintNaming.h"
#include "TestArchive.h"
#include "TestGame.h"
#include "TextureFile.h"
#include "TextureInstaller.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using TestArchive::Entry;

using TempTree::snapshot;

namespace {

QByteArray dds(std::uint32_t width, std::uint32_t height, const char *fourCC, unsigned seed = 0)
{
    const auto block = std::string(fourCC) == "DXT1" ? ddstest::Block::Bc1 : ddstest::Block::Bc2;
    const std::vector<std::uint8_t> bytes =
        ddstest::legacyBlockDds({ddstest::gradient(width, height, seed)}, block, fourCC);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

const QByteArray pngBytes = QByteArray("\x89PNG\r\n\x1a\n", 8) + "rest of a picture";

QStringList names(const QList<SkippedEntry> &skipped)
{
    QStringList result;
    for (const SkippedEntry &s : skipped)
        result.append(s.source);
    return result;
}

// Every texture's bytes as they were streamed out of the download.
class CollectingSink : public TextureSink
{
public:
    QMap<QString, QByteArray> bytes;
    bool open(const DownloadedTexture &texture) override
    {
        m_current = texture.source;
        return true;
    }
    bool write(QByteArrayView data) override
    {
        bytes[m_current].append(data);
        return true;
    }
    void close(const DownloadedTexture &, const QString &problem) override
    {
        if (!problem.isEmpty())
            bytes.remove(m_current);
    }

private:
    QString m_current;
};

QStringList sources(const QList<DownloadedTexture> &textures)
{
    QStringList result;
    for (const DownloadedTexture &t : textures)
        result.append(t.source);
    return result;
}

// Every file under the folder with its contents, to show what an action left
} // namespace

class PaintInstallTest : public QObject
{
    Q_OBJECT

private slots:
    void entryPaths_data();
    void entryPaths();
    void textureContents_data();
    void textureContents();
    void ddsShapes();

    void readsTexturesOfBothFormats_data();
    void readsTexturesOfBothFormats();
    void skipsHostileEntries();
    void refusesArchiveBombs_data();
    void refusesArchiveBombs();
    void refusesWhatIsNoArchive();
    void packsOfArchivesAndFoldersKeepTheLimits_data();
    void packsOfArchivesAndFoldersKeepTheLimits();
    void looseTextureFiles();

    void matching_data();
    void matching();

    void placingNeverReplacesAFile();

    void installsIntoSeveralAircraft();
    void leavesAnAmbiguousTextureToThePlayer();
    void chosenAircraftAndNameWin();
    void installingTwiceAddsNothing();
    void theModelShowsWhatWasInstalled();

private:
    QTemporaryDir m_dir;
};

void PaintInstallTest::entryPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("plain") << "red.dds" << true;
    QTest::newRow("in folders") << "P51D/Texture/red.dds" << true;
    QTest::newRow("dots in a name") << "a..b/red..dds" << true;
    QTest::newRow("parent") << "../red.dds" << false;
    QTest::newRow("parent inside") << "P51D/../../red.dds" << false;
    QTest::newRow("parent with backslashes") << "P51D\\..\\..\\red.dds" << false;
    QTest::newRow("absolute") << "/etc/red.dds" << false;
    QTest::newRow("absolute windows") << "\\Windows\\red.dds" << false;
    QTest::newRow("drive letter") << "C:red.dds" << false;
    QTest::newRow("stream name") << "red.dds:hidden" << false;
    QTest::newRow("control character") << "red\x01.dds" << false;
}

void PaintInstallTest::entryPaths()
{
    QFETCH(QString, path);
    QFETCH(bool, allowed);
    QCOMPARE(PaintArchive::problemWithEntryPath(path).isEmpty(), allowed);
}

void PaintInstallTest::textureContents_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("fits");
    QTest::newRow("dds") << "a.DDS" << dds(4, 4, "DXT1") << true;
    QTest::newRow("program named dds") << "a.dds" << QByteArray("MZ\x90\x00", 4) << false;
    QTest::newRow("png") << "a.png" << pngBytes << true;
    QTest::newRow("text named png") << "a.png" << QByteArray("hello") << false;
    QTest::newRow("bmp") << "a.bmp" << QByteArray("BM....") << true;
    QTest::newRow("jpeg") << "a.jpeg" << QByteArray("\xff\xd8\xff\xe0") << true;
    QTest::newRow("tga by name") << "a.tga" << QByteArray("\0\0\2", 3) << true;
    QTest::newRow("read-me") << "readme.txt" << QByteArray("DDS ") << false;
}

void PaintInstallTest::textureContents()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, head);
    QFETCH(bool, fits);
    QCOMPARE(TextureFile::hasTextureExtension(fileName) && TextureFile::contentFitsExtension(fileName, head), fits);
}

void PaintInstallTest::ddsShapes()
{
    const auto dxt1 = TextureFile::ddsShape(dds(64, 32, "DXT1"));
    QVERIFY(dxt1);
    QCOMPARE(dxt1->width, 64u);
    QCOMPARE(dxt1->height, 32u);
    QCOMPARE(dxt1->format, QByteArray("DXT1"));
    QVERIFY(TextureFile::ddsShape(dds(64, 32, "DXT1", 7)) == dxt1);
    QVERIFY(TextureFile::ddsShape(dds(64, 32, "DXT3")) != dxt1);
    QVERIFY(TextureFile::ddsShape(dds(32, 64, "DXT1")) != dxt1);

    const std::vector<std::uint8_t> rgb = ddstest::legacyBitMaskDds({ddstest::solid(8, 8, 1, 2, 3)}, ddstest::a8r8g8b8());
    const std::vector<std::uint8_t> bgr = ddstest::legacyBitMaskDds({ddstest::solid(8, 8, 1, 2, 3)}, ddstest::a8b8g8r8());
    const auto shapeOf = [](const std::vector<std::uint8_t> &b) {
        return TextureFile::ddsShape(QByteArrayView(reinterpret_cast<const char *>(b.data()), qsizetype(b.size())));
    };
    QVERIFY(shapeOf(rgb) && shapeOf(bgr));
    QVERIFY(shapeOf(rgb) != shapeOf(bgr));

    QVERIFY(!TextureFile::ddsShape(dds(64, 32, "DXT1").left(100)));
    QVERIFY(!TextureFile::ddsShape(pngBytes));
}

void PaintInstallTest::readsTexturesOfBothFormats_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("zip") << int(TestArchive::Format::Zip);
    QTest::newRow("7z") << int(TestArchive::Format::SevenZip);
}

void PaintInstallTest::readsTexturesOfBothFormats()
{
    QFETCH(int, format);
    const QString path = m_dir.filePath(QStringLiteral("paints%1.zip").arg(format));
    const QByteArray red = dds(16, 16, "DXT1");
    QVERIFY(TestArchive::write(path, TestArchive::Format(format),
                               {{"P51D", {}, Entry::Folder},
                                {"P51D/p51_red.dds", red},
                                {"P51D/view.png", pngBytes},
                                {"readme.txt", "by a painter"},
                                {"fake.dds", "MZ not a texture"}}));
    CollectingSink sink;
    const DownloadContents contents = PaintArchive::read(path, {}, &sink);
    QVERIFY2(contents.ok(), qPrintable(contents.result.line()));
    QCOMPARE(sources(contents.textures), QStringList({"P51D/p51_red.dds", "P51D/view.png"}));
    QCOMPARE(contents.textures[0].fileName, QStringLiteral("p51_red.dds"));
    QCOMPARE(contents.textures[0].size, red.size());
    QCOMPARE(sink.bytes.keys(), QStringList({"P51D/p51_red.dds", "P51D/view.png"}));
    QCOMPARE(sink.bytes["P51D/p51_red.dds"], red);
    QCOMPARE(sink.bytes["P51D/view.png"], pngBytes);
    // Measured alone, the same texture gives the same digest.
    QCOMPARE(PaintArchive::read(path).textures[0].digest, contents.textures[0].digest);
    QVERIFY(contents.textures[0].digest != contents.textures[1].digest);
    QCOMPARE(names(contents.skipped), QStringList({"fake.dds"}));
    QCOMPARE(contents.notes.size(), 1);
    QCOMPARE(contents.notes[0].source, QStringLiteral("readme.txt"));
    QCOMPARE(contents.notes[0].text, QStringLiteral("by a painter"));
}

void PaintInstallTest::skipsHostileEntries()
{
    const QString path = m_dir.filePath(QStringLiteral("hostile.zip"));
    const QByteArray tex = dds(8, 8, "DXT1");
    QVERIFY(TestArchive::write(path, TestArchive::Format::Zip,
                               {{"../up.dds", tex},
                                {"/etc/absolute.dds", tex},
                                {"C:/drive.dds", tex},
                                {"link.dds", {}, Entry::Symlink, "/etc/passwd"},
                                {"good.dds", tex},
                                {"hard.dds", {}, Entry::Hardlink, "good.dds"}}));
    const DownloadContents contents = PaintArchive::read(path);
    QVERIFY2(contents.ok(), qPrintable(contents.result.line()));
    QCOMPARE(sources(contents.textures), QStringList({"good.dds"}));
    QCOMPARE(contents.skipped.size(), 5);
    for (const SkippedEntry &skipped : contents.skipped)
        QVERIFY2(!skipped.reason.isEmpty(), qPrintable(skipped.source));
}

void PaintInstallTest::refusesArchiveBombs_data()
{
    QTest::addColumn<QList<Entry>>("entries");
    QTest::addColumn<qint64>("archiveLimit");
    const QByteArray big(200 * 1024, '\0'); // compresses to almost nothing
    QTest::newRow("one texture too big") << QList<Entry>{{"a.dds", "DDS " + big}} << qint64(1 << 20);
    QTest::newRow("a read-me too big") << QList<Entry>{{"readme.txt", big}} << qint64(1 << 20);
    QTest::newRow("together too big")
        << QList<Entry>{{"a.dds", "DDS " + big.left(90000)}, {"b.dds", "DDS " + big.left(90000)},
                        {"c.dds", "DDS " + big.left(90000)}}
        << qint64(1 << 20);
    QList<Entry> many;
    for (int i = 0; i < 30; ++i)
        many.append({QByteArray::number(i) + ".txt", "x"});
    QTest::newRow("too many entries") << many << qint64(1 << 20);
    QTest::newRow("archive file too big") << QList<Entry>{{"a.dds", "DDS small"}} << qint64(10);
}

void PaintInstallTest::refusesArchiveBombs()
{
    QFETCH(QList<Entry>, entries);
    QFETCH(qint64, archiveLimit);
    const QString path = m_dir.filePath(QStringLiteral("bomb.zip"));
    QVERIFY(TestArchive::write(path, TestArchive::Format::Zip, entries));
    PaintArchive::Limits limits;
    limits.archiveBytes = archiveLimit;
    limits.entryBytes = 100 * 1024;
    limits.totalBytes = 200 * 1024;
    limits.entries = 20;
    const DownloadContents contents = PaintArchive::read(path, limits);
    QVERIFY(!contents.ok());
    QVERIFY(contents.textures.isEmpty());
}

void PaintInstallTest::packsOfArchivesAndFoldersKeepTheLimits_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QStringList>("textures");
    QTest::addColumn<QString>("skipped"); // "entry: reason" expected among the skipped, or the refusal
    QTest::newRow("zip in a zip in a zip") << "nested3" << QStringList{"outer/a.dds", "outer/inner.zip/b.dds"}
                                           << "outer/inner.zip/deepest.zip: an archive inside an archive inside the download";
    QTest::newRow("filler in an inner archive counts") << "nested filler" << QStringList{}
                                                       << "unpacks to more than 1 MiB in all";
    QTest::newRow("inner archive that is none") << "nested fake" << QStringList{"a.dds"}
                                                << "fake.zip: not a zip, 7z or rar archive";
    QTest::newRow("folder with a link and a pipe") << "folder" << QStringList{"a.dds", "sub/b.dds"} << "link.dds: it is a link";
    QTest::newRow("folder of too many files") << "crowded folder" << QStringList{} << "holds more than 20 entries";
}

void PaintInstallTest::packsOfArchivesAndFoldersKeepTheLimits()
{
    QFETCH(QString, layout);
    QFETCH(QStringList, textures);
    QFETCH(QString, skipped);
#ifdef Q_OS_WIN
    if (layout == "folder")
        QSKIP("Windows makes shortcuts, not links, without privileges");
#endif
    const QByteArray texture = dds(8, 8, "DXT1");
    QTemporaryDir own; // a pipe here would stall the snapshots other tests take of m_dir
    const QString base = own.filePath(QString(QTest::currentDataTag()).replace(' ', '_'));
    const auto zipBytes = [&](const QString &name, const QList<Entry> &entries) {
        const QString path = base + '-' + name;
        return TestArchive::write(path, TestArchive::Format::Zip, entries) ? TempTree::readFile(path) : QByteArray();
    };
    QString download = base + ".zip";
    if (layout == "nested3") {
        const QByteArray deepest = zipBytes("deepest.zip", {{"c.dds", texture}});
        const QByteArray inner = zipBytes("inner.zip", {{"b.dds", texture}, {"deepest.zip", deepest}});
        QVERIFY(TestArchive::write(download, TestArchive::Format::Zip, {{"outer/a.dds", texture}, {"outer/inner.zip", inner}}));
    } else if (layout == "nested filler") {
        const QByteArray inner = zipBytes("inner.zip", {{"filler.bin", QByteArray(2 << 20, '\0')}, {"b.dds", texture}});
        QVERIFY(TestArchive::write(download, TestArchive::Format::Zip, {{"inner.zip", inner}}));
    } else if (layout == "nested fake") {
        QVERIFY(TestArchive::write(download, TestArchive::Format::Zip, {{"a.dds", texture}, {"fake.zip", "not an archive"}}));
    } else {
        download = base;
        QVERIFY(TempTree::writeFile(base + "/a.dds", texture));
        QVERIFY(TempTree::writeFile(base + "/sub/b.dds", texture));
        if (layout == "crowded folder") {
            for (int i = 0; i < 20; ++i)
                QVERIFY(TempTree::writeFile(base + QString("/sub/%1.txt").arg(i), "x"));
        } else {
            QVERIFY(TempTree::writeFile(own.filePath("outside.dds"), texture));
            QVERIFY(QFile::link(own.filePath("outside.dds"), base + "/link.dds"));
#ifdef Q_OS_UNIX
            QCOMPARE(mkfifo(QFile::encodeName(base + "/pipe.dds").constData(), 0600), 0);
#endif
        }
    }
    PaintArchive::Limits limits;
    limits.unpackedBytes = limits.unpackedFloor = 1 << 20;
    limits.entries = 20;
    const DownloadContents contents = PaintArchive::readDownload(download, limits);
    QCOMPARE(sources(contents.textures), textures);
    QStringList told{contents.result.reason};
    for (const SkippedEntry &entry : contents.skipped)
        told << entry.source + ": " + entry.reason;
    QVERIFY2(told.join('\n').contains(skipped), qPrintable(told.join('\n')));
    QCOMPARE(contents.ok(), !textures.isEmpty());
}

void PaintInstallTest::refusesWhatIsNoArchive()
{
    const QString text = m_dir.filePath(QStringLiteral("notes.zip"));
    QVERIFY(TempTree::writeFile(text, "just some notes, not an archive"));
    const QString missing = m_dir.filePath(QStringLiteral("missing.7z"));
    // Each refusal names the download it is about.
    for (const QString &download : {text, missing}) {
        const PaintResult read = PaintArchive::read(download).result;
        QVERIFY(!read);
        QCOMPARE(read.file, QDir::toNativeSeparators(download));
    }
    QVERIFY(PaintArchive::read(missing).result.reason.endsWith("does not exist."));
}

void PaintInstallTest::looseTextureFiles()
{
    const QString good = m_dir.filePath(QStringLiteral("loose/red.dds"));
    const QString fake = m_dir.filePath(QStringLiteral("loose/fake.dds"));
    QVERIFY(TempTree::writeFile(good, dds(8, 8, "DXT1")));
    QVERIFY(TempTree::writeFile(fake, "not a texture"));
    QCOMPARE(PaintArchive::readTextureFile(good).textures.size(), 1);
    QCOMPARE(PaintArchive::readTextureFile(fake).skipped.size(), 1);
    QVERIFY(!PaintArchive::readTextureFile(m_dir.filePath(QStringLiteral("loose/gone.dds"))).ok());
    PaintArchive::Limits small;
    small.entryBytes = 16;
    QVERIFY(!PaintArchive::readTextureFile(good, small).ok());
}

void PaintInstallTest::matching_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QByteArray>("texture");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("aircraft");
    QTest::addColumn<int>("reason");

    // 0 P51D (p51d.xdp), 1 P51 (p51b.xdp), 2 Spitfire (spit.xdp), 3 Zero (a6m.xdp), 4 Me109 (bf109.xdp)
    const QByteArray dxt1_256 = dds(256, 256, "DXT1");
    const QByteArray dxt3_64 = dds(64, 64, "DXT3");
    const QByteArray dxt1_32 = dds(32, 32, "DXT1");
    const QByteArray dxt3_128 = dds(128, 128, "DXT3");
    const int name = int(MatchReason::Name), shape = int(MatchReason::Shape);
    QTest::newRow("chosen wins") << "Spitfire/x.dds" << "" << dxt1_256 << 3 << 3 << int(MatchReason::Chosen);
    QTest::newRow("folder name") << "spitfire/desert.dds" << "" << dxt1_256 << -1 << 2 << name;
    QTest::newRow("longest of two") << "P51D_red.dds" << "" << dxt1_256 << -1 << 0 << name;
    QTest::newRow("shorter alone") << "p51_blue.dds" << "" << dxt1_256 << -1 << 1 << name;
    QTest::newRow("definition name") << "textures/A6M_T.DDS" << "" << dxt1_256 << -1 << 3 << name;
    QTest::newRow("archive name") << "red.dds" << "zero_pack.zip" << dxt1_256 << -1 << 3 << name;
    QTest::newRow("own path before archive") << "Spitfire/red.dds" << "zero_pack.zip" << dxt1_256 << -1 << 2 << name;
    QTest::newRow("size and format") << "desert.dds" << "" << dxt3_64 << -1 << 2 << shape;
    QTest::newRow("same size other format") << "desert.dds" << "" << dds(64, 64, "DXT1") << -1 << -1
                                            << int(MatchReason::None);
    QTest::newRow("size shared") << "desert.dds" << "" << dxt1_256 << -1 << -1 << int(MatchReason::Ambiguous);
    QTest::newRow("name tie settled by size") << "Zero_Spit.dds" << "" << dxt3_64 << -1 << 2 << shape;
    QTest::newRow("name tie unsettled") << "Zero_Spit.dds" << "" << dxt1_32 << -1 << -1
                                        << int(MatchReason::Ambiguous);
    QTest::newRow("png has no format") << "desert.png" << "" << pngBytes << -1 << -1 << int(MatchReason::None);
    QTest::newRow("nothing at all") << "desert.dds" << "" << dxt3_128 << -1 << -1 << int(MatchReason::None);
}

void PaintInstallTest::matching()
{
    QFETCH(QString, path);
    QFETCH(QString, archive);
    QFETCH(QByteArray, texture);
    QFETCH(int, chosen);
    QFETCH(int, aircraft);
    QFETCH(int, reason);
    const auto shape = [](std::uint32_t size, const char *format) {
        return TextureFile::DdsShape{size, size, format};
    };
    const QList<AircraftCandidate> candidates = {
        {"P51D", "p51d", "p51d_t.dds", shape(256, "DXT1")},
        {"P51", "p51b", "p51b_t.dds", shape(256, "DXT1")},
        {"Spitfire", "spit", "spit_t.dds", shape(64, "DXT3")},
        {"Zero", "a6m", "a6m_t.dds", shape(256, "DXT1")},
        {"Me109", "bf109", "bf109_t.dds", std::nullopt},
    };
    const AircraftMatch match = matchAircraft(path, archive, TextureFile::ddsShape(texture), candidates, chosen);
    QCOMPARE(match.aircraft, aircraft);
    QCOMPARE(int(match.reason), reason);
    if (match.reason == MatchReason::Ambiguous)
        QVERIFY(match.candidates.size() >= 2);
}

void PaintInstallTest::placingNeverReplacesAFile()
{
    const QString folder = m_dir.filePath(QStringLiteral("place/"));
    QVERIFY(TempTree::writeFile(folder + "Red.DDS", "red"));
    QVERIFY(TempTree::writeFile(folder + "blue.dds", "old blue"));
    QVERIFY(TempTree::writeFile(folder + "blue (2).dds", "new blue"));
    QVERIFY(QFile::link(folder + "blue.dds", folder + "link.dds"));
    const QString nowhere = m_dir.filePath(QStringLiteral("place-outside/planted.dds"));
    QVERIFY(QFile::link(nowhere, folder + "dangling.dds"));

    struct Case { QString name; QByteArray data; QString placed; };
    const QList<Case> cases = {
        {"green.dds", "green", "green.dds"},
        {"red.dds", "red", "Red.DDS"},               // same texture in another letter case
        {"blue.dds", "new blue", "blue (2).dds"},    // already there under the numbered name
        {"blue.dds", "newest blue", "blue (3).dds"},
        {"link.dds", "old blue", "link (2).dds"},    // a link is never taken for the texture
        {"dangling.dds", "planted", "dangling (2).dds"}, // nor written through
    };
    for (const Case &c : cases) {
        QString placed;
        QVERIFY(TextureInstaller::placeTexture(folder, c.name, c.data, placed));
        QCOMPARE(placed, c.placed);
    }
    QCOMPARE(TempTree::readFile(folder + "blue.dds"), QByteArray("old blue"));
    QCOMPARE(TempTree::readFile(folder + "blue (3).dds"), QByteArray("newest blue"));
    QCOMPARE(TempTree::readFile(folder + "green.dds"), QByteArray("green"));
    // No temporary file left; System brings in the dangling link.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 9);
    QVERIFY(!QFileInfo::exists(nowhere));

    const PaintResult written = TextureInstaller::writeNewTexture(folder, "RED.dds", "other");
    QVERIFY(!written);
    QCOMPARE(written.file, QDir::toNativeSeparators(folder + "RED.dds"));
    QVERIFY(!written.reason.isEmpty());
    QCOMPARE(TempTree::readFile(folder + "Red.DDS"), QByteArray("red"));
}

void PaintInstallTest::installsIntoSeveralAircraft()
{
    const QString game = m_dir.filePath(QStringLiteral("several/"));
    TestGame::addAircraft(game, "P51D", {{"Old", "old.dds"}});
    TestGame::addAircraft(game, "Spitfire", {});
    QVERIFY(TempTree::writeFile(game + "Aircraft/P51D/P51D_t.dds", dds(256, 256, "DXT1")));
    QVERIFY(TempTree::writeFile(game + "Aircraft/Spitfire/Spitfire_t.dds", dds(64, 64, "DXT3")));
    QVERIFY(TempTree::writeFile(game + "Aircraft/P51D/p51_red_tail.dds", "a different file of that name"));
    const QList<AircraftEntry> aircraft = AircraftScanner().scanAircraft(game + "Aircraft/");
    QCOMPARE(aircraft.size(), 2);
    const int p51 = aircraft[0].title == "P51D" ? 0 : 1, spit = 1 - p51;

    const QString zip = m_dir.filePath(QStringLiteral("two_paints.zip"));
    const QByteArray red = dds(256, 256, "DXT1", 1), desert = dds(64, 64, "DXT3", 2);
    QVERIFY(TestArchive::write(zip, TestArchive::Format::Zip,
                               {{"P51D/p51_red_tail.dds", red}, {"desert_camo.dds", desert},
                                {"readme.txt", "thanks"}, {"../evil.dds", red}}));
    const QMap<QString, QByteArray> outside = snapshot(m_dir.path() + "/several/..");

    InstallPlan plan = planInstall({{zip}, -1, {}}, aircraft);
    QVERIFY(plan.refused.isEmpty());
    QCOMPARE(plan.items.size(), 2);
    QCOMPARE(plan.items[0].aircraft, p51);
    QCOMPARE(plan.items[0].paintName, QStringLiteral("P51 Red Tail"));
    QCOMPARE(plan.items[1].aircraft, spit);
    QCOMPARE(plan.items[1].match.reason, MatchReason::Shape);
    QCOMPARE(names(plan.skipped), QStringList({"../evil.dds"}));
    const QString printed = describePlan(plan, aircraft);
    QVERIFY2(printed.contains("../evil.dds") && printed.contains("Desert Camo"), qPrintable(printed));

    const QList<AircraftInstallResult> results = carryOut(plan, aircraft);
    QCOMPARE(results.size(), 2);
    for (const AircraftInstallResult &result : results) {
        QVERIFY2(result.problems.isEmpty(), qPrintable(linesOf(result.problems)));
        QCOMPARE(result.added.size(), 1);
    }

    const QString p51Folder = game + "Aircraft/P51D/";
    QCOMPARE(TempTree::readFile(p51Folder + "p51_red_tail.dds"), QByteArray("a different file of that name"));
    // The paint's file name is taken in any letter case by another file.
    QCOMPARE(TempTree::readFile(p51Folder + "P51_Red_Tail (2).dds"), red);
    QCOMPARE(TempTree::readFile(game + "Aircraft/Spitfire/Desert_Camo.dds"), desert);
    const auto p51List = loadedList(p51Folder + "P51D.pnt");
    QVERIFY(p51List);
    QCOMPARE(p51List->paints,
             (QList<PaintEntry>{{"Old", "old.dds"}, {"P51 Red Tail", "P51_Red_Tail (2).dds"}}));
    QCOMPARE(TempTree::readFile(p51Folder + "P51D.pnt"),
             PaintListFile::fullForm("P51D", "P51D_t.dds", p51List->paints));
    // The Spitfire got its first paint, and with it the backup.
    QCOMPARE(TempTree::readFile(game + "Aircraft/Spitfire/Spitfire_t.dds.bak"), dds(64, 64, "DXT3"));

    QMap<QString, QByteArray> after = snapshot(m_dir.path() + "/several/..");
    for (auto it = outside.cbegin(); it != outside.cend(); ++it) {
        if (!it.key().contains("/Aircraft/"))
            QCOMPARE(after.value(it.key()), it.value());
    }
    QVERIFY(!QFileInfo::exists(m_dir.filePath("evil.dds")));
    QVERIFY2(describeResults(results, aircraft).contains("added P51 Red Tail"),
             qPrintable(describeResults(results, aircraft)));
}

void PaintInstallTest::leavesAnAmbiguousTextureToThePlayer()
{
    const QString game = m_dir.filePath(QStringLiteral("ambiguous/"));
    TestGame::addAircraft(game, "Hurricane", {});
    TestGame::addAircraft(game, "Typhoon", {});
    QVERIFY(TempTree::writeFile(game + "Aircraft/Hurricane/Hurricane_t.dds", dds(128, 128, "DXT1")));
    QVERIFY(TempTree::writeFile(game + "Aircraft/Typhoon/Typhoon_t.dds", dds(128, 128, "DXT1")));
    const QList<AircraftEntry> aircraft = AircraftScanner().scanAircraft(game + "Aircraft/");
    const QString archive = m_dir.filePath(QStringLiteral("camo.7z"));
    QVERIFY(TestArchive::write(archive, TestArchive::Format::SevenZip, {{"camo.dds", dds(128, 128, "DXT1", 3)}}));
    const QMap<QString, QByteArray> before = snapshot(game);

    InstallPlan plan = planInstall({{archive}, -1, {}}, aircraft);
    QCOMPARE(plan.items.size(), 1);
    QCOMPARE(plan.items[0].match.reason, MatchReason::Ambiguous);
    QCOMPARE(plan.items[0].match.candidates.size(), 2);
    QVERIFY(!plan.items[0].selected);
    QVERIFY(!plan.hasSelection());
    QVERIFY(carryOut(plan, aircraft).isEmpty());
    QCOMPARE(snapshot(game), before);

    // The player picks one in the plan.
    plan.items[0].aircraft = 1;
    plan.items[0].selected = true;
    const QList<AircraftInstallResult> results = carryOut(plan, aircraft);
    QCOMPARE(results.size(), 1);
    QCOMPARE(results[0].added, QStringList({"Camo"}));
    QCOMPARE(loadedList(aircraft[1].paintListPath)->paints.size(), 1);
}

void PaintInstallTest::chosenAircraftAndNameWin()
{
    const QString game = m_dir.filePath(QStringLiteral("chosen/"));
    TestGame::addAircraft(game, "P51D", {});
    TestGame::addAircraft(game, "Zero", {});
    const QList<AircraftEntry> aircraft = AircraftScanner().scanAircraft(game + "Aircraft/");
    const int zero = aircraft[0].title == "Zero" ? 0 : 1;
    // The download carries the replacement main texture of another aircraft.
    const QString archive = m_dir.filePath(QStringLiteral("Yellow Nose.zip"));
    QVERIFY(TestArchive::write(archive, TestArchive::Format::Zip, {{"Yellow nose/P51D_t.dds", dds(8, 8, "DXT1")}}));

    InstallRequest request{{archive}, zero, {}};
    InstallPlan plan = planInstall(request, aircraft);
    QCOMPARE(plan.items.size(), 1);
    QCOMPARE(plan.items[0].aircraft, zero);
    // Another aircraft's main texture name says nothing either.
    QCOMPARE(plan.items[0].paintName, QStringLiteral("Yellow Nose"));

    request.chosenAircraft = -1;
    plan = planInstall(request, aircraft);
    QCOMPARE(plan.items[0].aircraft, 1 - zero);
    QCOMPARE(plan.items[0].paintName, QStringLiteral("Yellow Nose")); // the main texture's own name says nothing
    const QList<AircraftInstallResult> results = carryOut(plan, aircraft);
    QCOMPARE(results.size(), 1);
    QCOMPARE(TempTree::readFile(game + "Aircraft/P51D/P51D_t.dds"), TestGame::texture("original P51D"));
    // Never under the main texture's name, not even numbered: a paint name.
    QCOMPARE(loadedList(aircraft[1 - zero].paintListPath)->paints,
             (QList<PaintEntry>{{"Yellow Nose", "Yellow_Nose.dds"}}));
    QVERIFY2(results[0].notes.join("").contains("named like the main texture"), qPrintable(results[0].notes.join("")));

    request.paintName = QStringLiteral("My paint");
    QCOMPARE(planInstall(request, aircraft).items[0].paintName, QStringLiteral("My paint"));
}

void PaintInstallTest::installingTwiceAddsNothing()
{
    const QString game = m_dir.filePath(QStringLiteral("twice/"));
    TestGame::addAircraft(game, "Zero", {});
    const QList<AircraftEntry> aircraft = AircraftScanner().scanAircraft(game + "Aircraft/");
    const QString archive = m_dir.filePath(QStringLiteral("zero_paint.zip"));
    QVERIFY(TestArchive::write(archive, TestArchive::Format::Zip, {{"white.dds", dds(8, 8, "DXT1")}}));

    QCOMPARE(carryOut(planInstall({{archive}, -1, {}}, aircraft), aircraft)[0].added.size(), 1);
    const QMap<QString, QByteArray> before = snapshot(game);
    const QList<AircraftInstallResult> again = carryOut(planInstall({{archive}, -1, {}}, aircraft), aircraft);
    QVERIFY(again[0].added.isEmpty());
    QCOMPARE(again[0].problems.size(), 1);
    QCOMPARE(snapshot(game), before);
}

void PaintInstallTest::theModelShowsWhatWasInstalled()
{
    const QString game = m_dir.filePath(QStringLiteral("model/"));
    TestGame::addAircraft(game, "P51", {});
    TestGame::addAircraft(game, "Zero", {});
    Hangar hangar(game);
    hangar.scan(Hangar::ListCreation::ReadOnly);
    QCOMPARE(hangar.aircraft().size(), 2);
    const int zero = hangar.find("Zero").value(0, -1);
    QVERIFY(hangar.select(zero));
    const QString archive = m_dir.filePath(QStringLiteral("model.zip"));
    QVERIFY(TestArchive::write(archive, TestArchive::Format::Zip,
                               {{"Zero/white.dds", dds(8, 8, "DXT1")}, {"P51/silver.dds", dds(8, 8, "DXT1", 1)}}));

    const InstallPlan plan = hangar.planInstall({{archive}, -1, {}});
    QCOMPARE(hangar.paintTable().rowCount(), 2); // planning writes nothing
    const QList<AircraftInstallResult> results = hangar.install(plan);
    QCOMPARE(results.size(), 2);
    QCOMPARE(hangar.selectedIndex(), zero);
    QCOMPARE(hangar.paintTable().rowCount(), 3);
    QCOMPARE(hangar.paintTable().displayText(2), QStringLiteral("White"));
    QVERIFY(QFile::exists(hangar.paintTable().texturePath(2)));
}

QTEST_GUILESS_MAIN(PaintInstallTest)
#include "tst_PaintInstall.moc"
