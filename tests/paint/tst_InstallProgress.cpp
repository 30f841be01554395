#include "LoadedLists.h"
#include "AircraftScanner.h"
#include "DdsWriter.h"
#include "Hangar.h"
#include "InstallPlan.h"
#include "InstallProgress.h"
#include "InstallSpool.h"
#include "PaintListFile.h"
#include "TestArchive.h"
#include "TestGame.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int Paints = 5;

QByteArray dds(unsigned seed, std::uint32_t side)
{
    const std::vector<std::uint8_t> bytes =
        ddstest::legacyBlockDds({ddstest::gradient(side, side, seed)}, ddstest::Block::Bc1, "DXT1");
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// The paints of the download, by entry path: small ones and ones of many
// read blocks, so a cancel can land between textures of either kind.
QList<TestArchive::Entry> paintEntries()
{
    QList<TestArchive::Entry> entries;
    for (int i = 0; i < Paints; ++i)
        entries.append({QStringLiteral("Paint%1/paint%1.dds").arg(i).toUtf8(), dds(unsigned(i + 1), i % 2 ? 512 : 64)});
    return entries;
}

// Makes the download in the given form; a folder is written out as it is.
QString makeDownload(const QString &dir, const QString &form, const QList<TestArchive::Entry> &entries)
{
    if (form == QLatin1String("folder")) {
        const QString folder = dir + "/Paints_Folder/";
        for (const TestArchive::Entry &entry : entries)
            TempTree::writeFile(folder + QString::fromUtf8(entry.path), entry.data);
        return folder;
    }
    const QString path = dir + (form == QLatin1String("zip") ? "/paints.zip" : "/paints.7z");
    TestArchive::write(path, form == QLatin1String("zip") ? TestArchive::Format::Zip : TestArchive::Format::SevenZip,
                       entries);
    return path;
}

QMap<QString, QByteArray> filesIn(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QFileInfo(path).fileName(), TempTree::readFile(path));
    }
    return files;
}

} // namespace

class InstallProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cancellingAnInstallKeepsWhatWasPlaced_data();
    void cancellingAnInstallKeepsWhatWasPlaced();
    void cancellingAPlanWritesNothing_data();
    void cancellingAPlanWritesNothing();
    void progressCountsEveryPlacedTexture();
    void installingAsPlannedReadsEachDownloadOnce_data();
    void installingAsPlannedReadsEachDownloadOnce();
    void aPassThatStopsLeavesTheFolderAsItWas_data();
    void aPassThatStopsLeavesTheFolderAsItWas();

private:
    QList<AircraftEntry> aircraft() { return AircraftScanner().scanAircraft(m_game + "Aircraft/"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_game;
    QString m_folder;
};

// A game with one aircraft that has one paint; gives the aircraft's folder.
QString makeGame(const QString &game)
{
    TestGame::addAircraft(game, "P51D", {{"Old", "old.dds"}});
    const QString folder = game + "Aircraft/P51D/";
    TempTree::writeFile(folder + "P51D_t.dds", dds(0, 64));
    TempTree::writeFile(folder + "old.dds", dds(9, 64));
    return folder;
}

void InstallProgressTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_game = m_dir->filePath(QStringLiteral("game/"));
    m_folder = makeGame(m_game);
}

void InstallProgressTest::cancellingAnInstallKeepsWhatWasPlaced_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<int>("cancelAfter"); // textures placed when the player cancels
    for (const char *form : {"zip", "7z", "folder"}) {
        for (int after : {0, 1, 2, 4})
            QTest::addRow("%s, after %d", form, after) << QString::fromLatin1(form) << after;
    }
}

void InstallProgressTest::cancellingAnInstallKeepsWhatWasPlaced()
{
    QFETCH(QString, form);
    QFETCH(int, cancelAfter);
    const QList<TestArchive::Entry> entries = paintEntries();
    const QString download = makeDownload(m_dir->path(), form, entries);
    // A second download, of nothing, so that the first is known to be read
    // whole while the plan is still being made.
    const QString nothing = m_dir->filePath(QStringLiteral("Nothing/"));
    QVERIFY(QDir().mkpath(nothing));
    const QStringList downloads{download, nothing};
    const QList<AircraftEntry> found = aircraft();
    const InstallPlan plan = planInstall({{download}, 0, {}}, found);
    QCOMPARE(plan.items.size(), Paints);

    InstallProgress progress;
    progress.cancelled = cancelAfter == 0;
    progress.report = [&](int done, int, const QString &) {
        if (done >= cancelAfter)
            progress.cancelled = true;
    };
    PaintArchive::Limits limits;
    limits.progress = &progress;
    const QList<AircraftInstallResult> results = carryOut(plan, found, limits);
    QCOMPARE(results.size(), 1);
    QCOMPARE(results[0].added.size(), cancelAfter);
    QCOMPARE(results[0].problems.size(), Paints - cancelAfter);
    for (const PaintResult &problem : results[0].problems) {
        QVERIFY2(problem.reason.contains(cancelledReason()), qPrintable(problem.line()));
        QVERIFY2(!problem.file.isEmpty(), qPrintable(problem.line())); // the texture left out
    }

    // Every texture in the folder is the original, its backup or listed,
    // and holds the whole download's bytes; no temporary file is left.
    const auto list = loadedList(m_folder + "P51D.pnt");
    QVERIFY(list);
    QCOMPARE(list->paints.size(), 1 + cancelAfter);
    QSet<QString> listed;
    for (const PaintEntry &paint : list->paints)
        listed.insert(QString::fromLatin1(paint.texture));
    QSet<QByteArray> downloaded;
    for (const TestArchive::Entry &entry : entries)
        downloaded.insert(entry.data);
    const QMap<QString, QByteArray> files = filesIn(m_folder);
    int placed = 0;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString &name = it.key();
        QVERIFY2(!name.endsWith(".tmp"), qPrintable(name));
        if (!name.endsWith(".dds", Qt::CaseInsensitive) || name == "P51D_t.dds")
            continue;
        QVERIFY2(listed.contains(name), qPrintable(name + " is not listed"));
        if (name != "old.dds") {
            QVERIFY2(downloaded.contains(it.value()), qPrintable(name + " is not a whole texture"));
            ++placed;
        }
    }
    QCOMPARE(placed, cancelAfter);
    QCOMPARE(files.contains("P51D_t.dds.bak"), cancelAfter > 0);
}

void InstallProgressTest::cancellingAPlanWritesNothing_data()
{
    QTest::addColumn<int>("cancelAt"); // downloads read when the player cancels
    QTest::newRow("before the first") << 0;
    QTest::newRow("after the first") << 1;
    QTest::newRow("after the second") << 2;
}

void InstallProgressTest::cancellingAPlanWritesNothing()
{
    QFETCH(int, cancelAt);
    const QStringList downloads{makeDownload(m_dir->path(), "zip", paintEntries()),
                                makeDownload(m_dir->path(), "7z", paintEntries()),
                                makeDownload(m_dir->path(), "folder", paintEntries())};
    const QMap<QString, QByteArray> before = filesIn(m_folder);
    Hangar hangar;
    hangar.setGameFolder(m_game);
    hangar.scan(Hangar::ListCreation::ReadOnly);

    InstallProgress progress;
    QStringList told;
    progress.report = [&](int done, int total, const QString &current) {
        QCOMPARE(total, 3);
        told << current;
        if (done >= cancelAt)
            progress.cancelled = true;
    };
    const InstallPlan plan = hangar.planInstall({downloads, 0, {}}, &progress);
    QVERIFY(plan.cancelled);
    QVERIFY(plan.items.isEmpty());
    QCOMPARE(told.size(), cancelAt + 1);
    QCOMPARE(filesIn(m_folder), before);

    // Not cancelled, the same hangar plans all three.
    InstallProgress untouched;
    QCOMPARE(hangar.planInstall({downloads, 0, {}}, &untouched).items.size(), 3 * Paints);
}

void InstallProgressTest::progressCountsEveryPlacedTexture()
{
    const QString download = makeDownload(m_dir->path(), "7z", paintEntries());
    Hangar hangar;
    hangar.setGameFolder(m_game);
    hangar.scan(Hangar::ListCreation::ReadOnly);
    const InstallPlan plan = hangar.planInstall({{download}, 0, {}});
    InstallProgress progress;
    QList<int> done;
    QStringList names;
    progress.report = [&](int placed, int total, const QString &current) {
        QCOMPARE(total, Paints);
        done << placed;
        names << current;
    };
    const QList<AircraftInstallResult> results = hangar.install(plan, &progress);
    QCOMPARE(results.size(), 1);
    QCOMPARE(results[0].added.size(), Paints);
    QCOMPARE(done, (QList<int>{1, 2, 3, 4, 5}));
    QCOMPARE(names.first(), QStringLiteral("Paint0/paint0.dds"));
}

void InstallProgressTest::installingAsPlannedReadsEachDownloadOnce_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<bool>("readmeLast"); // a name that only the end of the download gives
    for (const char *form : {"zip", "7z", "folder"})
        QTest::addRow("%s", form) << QString::fromLatin1(form) << false;
    QTest::newRow("zip, read-me after its texture") << QStringLiteral("zip") << true;
}

void InstallProgressTest::installingAsPlannedReadsEachDownloadOnce()
{
    QFETCH(QString, form);
    QFETCH(bool, readmeLast);
    QList<TestArchive::Entry> entries = paintEntries();
    if (readmeLast)
        entries.append(TestArchive::Entry{"Paint3/readme.txt", "Name: Red Baron\r\nBy someone\r\n"});
    const QString download = makeDownload(m_dir->path(), form, entries);
    // A second download, of nothing, so that the first is known to be read
    // whole while the plan is still being made.
    const QString nothing = m_dir->filePath(QStringLiteral("Nothing/"));
    QVERIFY(QDir().mkpath(nothing));
    const QStringList downloads{download, nothing};

    // The same download installed in two steps on a twin of the game.
    const QString twinFolder = makeGame(m_dir->filePath(QStringLiteral("twin/")));
    Hangar twin;
    twin.setGameFolder(m_dir->filePath(QStringLiteral("twin/")));
    twin.scan(Hangar::ListCreation::ReadOnly);
    const QList<AircraftInstallResult> twinResults = twin.install(twin.planInstall({downloads, 0, {}}));
    QCOMPARE(twinResults.size(), 1);
    QCOMPARE(twinResults[0].added.size(), Paints);

    Hangar hangar;
    hangar.setGameFolder(m_game);
    hangar.scan(Hangar::ListCreation::ReadOnly);
    // Once it has been read for the plan, the download is gone: a second
    // reading of it would find nothing to install.
    InstallProgress progress;
    progress.report = [&](int done, int total, const QString &) {
        if (total == downloads.size() && done == 1)
            QVERIFY(QFileInfo(download).isDir() ? QDir(download).removeRecursively() : QFile::remove(download));
    };
    InstallPlan plan;
    const QList<AircraftInstallResult> results = hangar.installAsPlanned({downloads, 0, {}}, &plan, &progress);
    QVERIFY(!QFileInfo::exists(download));
    QCOMPARE(plan.items.size(), Paints);
    QCOMPARE(results.size(), 1);
    QVERIFY2(results[0].problems.isEmpty(), qPrintable(linesOf(results[0].problems)));
    QCOMPARE(results[0].added, twinResults[0].added);
    QCOMPARE(results[0].added.contains("Red Baron"), readmeLast);

    // Named, listed and written as the two steps do it; nothing temporary left.
    QMap<QString, QByteArray> files = filesIn(m_folder), twinFiles = filesIn(twinFolder);
    QCOMPARE(files, twinFiles);
    for (const QString &name : files.keys())
        QVERIFY2(!name.endsWith(".tmp"), qPrintable(name));
    QSet<QByteArray> downloaded;
    for (const TestArchive::Entry &entry : std::as_const(entries))
        downloaded.insert(entry.data);
    const auto list = loadedList(m_folder + "P51D.pnt");
    QVERIFY(list);
    QCOMPARE(list->paints.size(), 1 + Paints);
    for (qsizetype i = 1; i < list->paints.size(); ++i)
        QVERIFY(downloaded.contains(files.value(QString::fromLatin1(list->paints[i].texture))));
}

void InstallProgressTest::aPassThatStopsLeavesTheFolderAsItWas_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancelled after the first download") << QStringLiteral("cancel");
    QTest::newRow("a later entry too large") << QStringLiteral("refuse");
}

void InstallProgressTest::aPassThatStopsLeavesTheFolderAsItWas()
{
    QFETCH(QString, how);
    const QStringList downloads{makeDownload(m_dir->path(), "zip", paintEntries()),
                                makeDownload(m_dir->path(), "folder", paintEntries())};
    const QMap<QString, QByteArray> before = filesIn(m_folder);
    const QList<AircraftEntry> found = aircraft();
    InstallProgress progress;
    PaintArchive::Limits limits;
    limits.progress = &progress;
    if (how == QLatin1String("cancel")) {
        progress.report = [&](int done, int, const QString &) {
            if (done == 1)
                progress.cancelled = true;
        };
    } else {
        // paint0 is small and written; paint1 is past the limit.
        limits.entryBytes = 64 << 10;
    }
    {
        InstallSpool spool(found);
        const InstallPlan plan = planInstall({downloads, 0, {}}, found, limits, &spool);
        QVERIFY(plan.items.isEmpty());
        QCOMPARE(plan.cancelled, how == QLatin1String("cancel"));
        QVERIFY(plan.cancelled || plan.refused.size() == 2);
        const QList<AircraftInstallResult> results = carryOut(plan, found, limits, &spool);
        QVERIFY(results.isEmpty());
    }
    QCOMPARE(filesIn(m_folder), before);
}

QTEST_GUILESS_MAIN(InstallProgressTest)
#include "tst_InstallProgress.moc"
