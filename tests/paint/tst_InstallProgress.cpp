#include "AircraftScanner.h"
#include "DdsWriter.h"
#include "Hangar.h"
#include "InstallPlan.h"
#include "InstallProgress.h"
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

private:
    QList<AircraftEntry> aircraft() { return AircraftScanner().scanAircraft(m_game + "Aircraft/"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_game;
    QString m_folder;
};

void InstallProgressTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_game = m_dir->filePath(QStringLiteral("game/"));
    TestGame::addAircraft(m_game, "P51D", {{"Old", "old.dds"}});
    m_folder = m_game + "Aircraft/P51D/";
    QVERIFY(TempTree::writeFile(m_folder + "P51D_t.dds", dds(0, 64)));
    QVERIFY(TempTree::writeFile(m_folder + "old.dds", dds(9, 64)));
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
    for (const QString &problem : results[0].problems)
        QVERIFY2(problem.contains(cancelledReason()), qPrintable(problem));

    // Every texture in the folder is the original, its backup or listed,
    // and holds the whole download's bytes; no temporary file is left.
    const auto list = PaintListFile::load(m_folder + "P51D.pnt");
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

QTEST_GUILESS_MAIN(InstallProgressTest)
#include "tst_InstallProgress.moc"
