// The rules behind the collection window: which aircraft a search and a
// status choice let through, what status an aircraft's files give it,
// restoring many aircraft, and the thumbnails kept on disk.
#include "AircraftReview.h"
#include "CollectionFilter.h"
#include "Hangar.h"
#include "TempTree.h"
#include "TestGame.h"
#include "ThumbnailStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QtEndian>
#include <QtTest>

using Kind = AircraftStatus::Kind;
using Choice = CollectionFilter::StatusChoice;
using TempTree::readFile;
using TempTree::writeFile;

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Choice)

namespace {

// A PNG's signature and chunks, with the text given; enough for the
// metadata reader, which stops at the picture data.
QByteArray pngWithText(const QList<QPair<QByteArray, QByteArray>> &text, bool textAfterData = false)
{
    auto chunk = [](const QByteArray &type, const QByteArray &data) {
        QByteArray bytes(4, '\0');
        qToBigEndian<quint32>(quint32(data.size()), bytes.data());
        return bytes + type + data + QByteArray(4, '\0');
    };
    QByteArray textChunks;
    for (const auto &[key, value] : text)
        textChunks += chunk("tEXt", key + '\0' + value);
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png += chunk("IHDR", QByteArray(13, '\1'));
    if (!textAfterData)
        png += textChunks;
    png += chunk("IDAT", QByteArray(20, 'x'));
    if (textAfterData)
        png += textChunks;
    return png + chunk("IEND", {});
}

QByteArray pngFor(const ThumbnailIdentity &identity)
{
    return pngWithText({{ThumbnailText::Uri, identity.uri.toUtf8()},
                        {ThumbnailText::Modified, QByteArray::number(identity.modified)},
                        {ThumbnailText::Size, QByteArray::number(identity.size)}});
}

} // namespace

class CollectionTest : public QObject
{
    Q_OBJECT

private slots:
    void filter_data();
    void filter();
    void status_data();
    void status();
    void restoreAllKeepsTheRuleOfRestore();
    void metadata_data();
    void metadata();
    void staleThumbnailsGoOnlyFromTheOwnFolder();
    void storeRefusesAThumbnailOfAnotherFile();
    void pruneDropsGoneFilesThenTheOldest();
};

void CollectionTest::filter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Choice>("choice");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("aircraftShown");
    QTest::addColumn<bool>("aircraftAlone"); // shown for its own names, all paints with it
    QTest::addColumn<QStringList>("paintsShown");

    const QStringList all{"Desert Fox", "Navy blue", "Öland Arctic"};
    // The aircraft: title "P-51D Mustang", folder "P51", paints as above.
    QTest::newRow("nothing typed") << "" << Choice::All << Kind::Unknown << true << true << all;
    QTest::newRow("title, any case") << "mustang" << Choice::All << Kind::Original << true << true << all;
    QTest::newRow("folder") << "p51" << Choice::All << Kind::Original << true << true << all;
    QTest::newRow("words in any order") << "mustang p-51d" << Choice::All << Kind::Original << true << true << all;
    QTest::newRow("extra spaces") << "  MUSTANG   " << Choice::All << Kind::Original << true << true << all;
    QTest::newRow("a paint's name") << "desert" << Choice::All << Kind::Original << true << false
                                    << QStringList{"Desert Fox"};
    QTest::newRow("aircraft and paint words together")
        << "fox mustang" << Choice::All << Kind::Original << true << false << QStringList{"Desert Fox"};
    QTest::newRow("folder and paint words together")
        << "NAVY p51" << Choice::All << Kind::Original << true << false << QStringList{"Navy blue"};
    QTest::newRow("a word in the title and in no paint is no paint's")
        << "mustang zzz" << Choice::All << Kind::Original << false << false << QStringList{};
    QTest::newRow("letter case beyond ASCII") << "öLAND" << Choice::All << Kind::Original << true << false
                                              << QStringList{"Öland Arctic"};
    QTest::newRow("words of two paints find neither") << "desert navy" << Choice::All << Kind::Original << false
                                                      << false << QStringList{};
    QTest::newRow("no such word") << "spitfire" << Choice::All << Kind::Original << false << false << QStringList{};
    QTest::newRow("wearing, as asked") << "" << Choice::WearingPaint << Kind::WearingPaint << true << true << all;
    QTest::newRow("original, not wearing") << "" << Choice::WearingPaint << Kind::Original << false << true << all;
    QTest::newRow("changed outside") << "" << Choice::ChangedOutside << Kind::ChangedOutside << true << true << all;
    QTest::newRow("problems") << "" << Choice::Problems << Kind::Problem << true << true << all;
    QTest::newRow("problems, not this one") << "" << Choice::Problems << Kind::WearingPaint << false << true << all;
    QTest::newRow("not looked at yet waits for its status")
        << "" << Choice::Problems << Kind::Unknown << false << true << all;
    QTest::newRow("status and words") << "navy" << Choice::WearingPaint << Kind::WearingPaint << true << false
                                      << QStringList{"Navy blue"};
}

void CollectionTest::filter()
{
    QFETCH(QString, typed);
    QFETCH(Choice, choice);
    QFETCH(Kind, kind);
    QFETCH(bool, aircraftShown);
    QFETCH(bool, aircraftAlone);
    QFETCH(QStringList, paintsShown);

    CollectionFilter filter;
    filter.setText(typed);
    filter.setStatusChoice(choice);
    const QString title = "P-51D Mustang";
    const QString folder = "P51";
    const QStringList paints{"Desert Fox", "Navy blue", "Öland Arctic"};
    QCOMPARE(filter.admits(title, folder, paints, kind), aircraftShown);
    QCOMPARE(filter.admits(CollectionFilter::Subject::of(title, folder, paints), kind), aircraftShown);
    QCOMPARE(filter.matchesAircraft(title, folder), aircraftAlone);
    if (!aircraftAlone) {
        QStringList shown;
        for (const QString &paint : paints) {
            if (filter.matchesPaint(title, folder, paint))
                shown << paint;
        }
        QCOMPARE(shown, paintsShown);
    }
}

void CollectionTest::status_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("paintName");

    QTest::newRow("as it came, no backup yet") << "" << Kind::Original << "";
    QTest::newRow("backup made, original on") << "backup" << Kind::Original << "";
    QTest::newRow("a paint applied") << "apply navy" << Kind::WearingPaint << "Navy";
    QTest::newRow("a paint copied on, no backup") << "copy navy" << Kind::WearingPaint << "Navy";
    QTest::newRow("changed outside") << "patch" << Kind::ChangedOutside << "";
    QTest::newRow("a paint's texture missing") << "lose arctic" << Kind::Problem << "";
    QTest::newRow("main texture missing") << "lose main" << Kind::Problem << "";
    QTest::newRow("no main texture named") << "unname main" << Kind::Problem << "";
    QTest::newRow("list unreadable") << "break list" << Kind::Problem << "";
}

void CollectionTest::status()
{
    QFETCH(QString, change);
    QFETCH(Kind, kind);
    QFETCH(QString, paintName);

    QTemporaryDir dir;
    const QString game = dir.path() + "/";
    TestGame::addP51AndZero(game);
    const QString folder = game + "Aircraft/P51/";
    const QString list = folder + "P51.pnt";
    if (change == "backup" || change == "apply navy" || change == "patch") {
        Hangar hangar(game);
        hangar.scan(Hangar::ListCreation::ReadOnly);
        QVERIFY(hangar.select(hangar.find("P51").first()));
        QVERIFY(hangar.keepOriginal());
        if (change == "apply navy")
            QVERIFY(hangar.apply(3));
    }
    if (change == "copy navy")
        QVERIFY(writeFile(folder + "P51_t.dds", readFile(folder + "navy.dds")));
    if (change == "patch")
        QVERIFY(writeFile(folder + "P51_t.dds", TestGame::texture("patched by an update")));
    if (change == "lose arctic")
        QVERIFY(QFile::remove(folder + "arctic.dds"));
    if (change == "lose main")
        QVERIFY(QFile::remove(folder + "P51_t.dds"));
    if (change == "unname main")
        QVERIFY(writeFile(list, TestGame::paintList("P51", "", {{"Navy", "navy.dds"}})));
    if (change == "break list")
        QVERIFY(writeFile(list, ";only a comment\r\n"));

    InstalledPaint installed;
    const AircraftStatus status = AircraftStatus::of(list, installed);
    QCOMPARE(status.kind, kind);
    QCOMPARE(status.paintName, paintName);
    QCOMPARE(status.problems.isEmpty(), kind != Kind::Problem && kind != Kind::ChangedOutside);
    // What the window shows is what `check` reports.
    if (kind == Kind::Problem || kind == Kind::ChangedOutside) {
        Hangar hangar(game);
        hangar.scan(Hangar::ListCreation::ReadOnly);
        const QList<int> found = hangar.find("P51");
        if (!found.isEmpty()) {
            const QList<PaintResult> checked = hangar.check(found.first());
            QCOMPARE(checked.size(), status.problems.size());
            QCOMPARE(checked.first().reason, status.problems.first().reason);
        }
    }
}

void CollectionTest::restoreAllKeepsTheRuleOfRestore()
{
    QTemporaryDir dir;
    const QString game = dir.path() + "/";
    TestGame::addAircraft(game, "P51", {{"Navy", "navy.dds"}});
    TestGame::addAircraft(game, "Spitfire", {{"Desert", "desert.dds"}});
    TestGame::addAircraft(game, "Zero", {{"Green", "green.dds"}});
    TestGame::addAircraft(game, "Corsair", {{"Blue", "blue.dds"}});
    Hangar hangar(game);
    hangar.scan(Hangar::ListCreation::ReadOnly);
    const int p51 = hangar.find("P51").first();
    const int spitfire = hangar.find("Spitfire").first();
    const int zero = hangar.find("Zero").first();
    const int corsair = hangar.find("Corsair").first();
    for (const int index : {p51, spitfire, zero}) {
        QVERIFY(hangar.select(index));
        QVERIFY(hangar.keepOriginal());
    }
    QVERIFY(hangar.select(p51));
    QVERIFY(hangar.apply(2));
    QVERIFY(hangar.select(spitfire));
    QVERIFY(hangar.apply(2));
    // An update replaced the Zero's texture while it wore a paint.
    const QByteArray patched = TestGame::texture("Zero, patched");
    QVERIFY(writeFile(game + "Aircraft/Zero/Zero_t.dds", patched));
    QVERIFY(hangar.select(spitfire));

    const QList<Hangar::RestoreOutcome> outcomes = hangar.restoreAll({p51, zero, corsair, 99});
    QCOMPARE(outcomes.size(), 4);
    QCOMPARE(outcomes[0].kind, Hangar::RestoreOutcome::Restored);
    QCOMPARE(readFile(game + "Aircraft/P51/P51_t.dds"), TestGame::texture("original P51"));
    QCOMPARE(outcomes[1].kind, Hangar::RestoreOutcome::Failed);
    QVERIFY(outcomes[1].result.changedOutside);
    QCOMPARE(readFile(game + "Aircraft/Zero/Zero_t.dds"), patched);
    QCOMPARE(outcomes[2].kind, Hangar::RestoreOutcome::AlreadyOriginal);
    QCOMPARE(outcomes[3].kind, Hangar::RestoreOutcome::Failed);
    // The selection the player had is kept, and its paint is untouched.
    QCOMPARE(hangar.selectedIndex(), spitfire);
    QCOMPARE(readFile(game + "Aircraft/Spitfire/Spitfire_t.dds"), TestGame::texture("paint desert.dds"));

    // With the player's word the changed texture becomes the original: it
    // is kept, and nothing is lost.
    const QList<Hangar::RestoreOutcome> adopted = hangar.restoreAll({zero}, Hangar::ChangedOriginal::Adopt);
    QCOMPARE(adopted.first().kind, Hangar::RestoreOutcome::Restored);
    QCOMPARE(readFile(game + "Aircraft/Zero/Zero_t.dds.bak"), patched);
    QCOMPARE(readFile(game + "Aircraft/Zero/Zero_t.dds.bak.1"), TestGame::texture("original Zero"));
}

void CollectionTest::metadata_data()
{
    QTest::addColumn<QByteArray>("png");
    QTest::addColumn<bool>("describes");

    const ThumbnailIdentity file{"file:///game/Aircraft/P51/navy.dds", 1700000000, 2796344};
    const QByteArray uri = file.uri.toUtf8();
    QTest::newRow("all three match") << pngFor(file) << true;
    QTest::newRow("size may be left out")
        << pngWithText({{ThumbnailText::Uri, uri}, {ThumbnailText::Modified, "1700000000"}}) << true;
    QTest::newRow("another file") << pngWithText({{ThumbnailText::Uri, "file:///game/Aircraft/P51/desert.dds"},
                                                  {ThumbnailText::Modified, "1700000000"}})
                                  << false;
    QTest::newRow("file changed since") << pngWithText({{ThumbnailText::Uri, uri}, {ThumbnailText::Modified, "1699999999"}})
                                        << false;
    QTest::newRow("size differs") << pngWithText({{ThumbnailText::Uri, uri},
                                                  {ThumbnailText::Modified, "1700000000"},
                                                  {ThumbnailText::Size, "1"}})
                                  << false;
    QTest::newRow("time not a number") << pngWithText({{ThumbnailText::Uri, uri}, {ThumbnailText::Modified, "soon"}})
                                       << false;
    QTest::newRow("no time") << pngWithText({{ThumbnailText::Uri, uri}}) << false;
    QTest::newRow("text after the picture is not looked for")
        << pngWithText({{ThumbnailText::Uri, uri}, {ThumbnailText::Modified, "1700000000"}}, true) << false;
    QByteArray compressed = pngWithText({{ThumbnailText::Modified, "1700000000"}});
    const QByteArray ztxt = QByteArray(ThumbnailText::Uri) + '\0' + '\0' + qCompress(uri).mid(4);
    QByteArray ztxtChunk(4, '\0');
    qToBigEndian<quint32>(quint32(ztxt.size()), ztxtChunk.data());
    compressed.insert(8 + 25, ztxtChunk + "zTXt" + ztxt + QByteArray(4, '\0'));
    QTest::newRow("compressed text, as some file managers write it") << compressed << true;
    QTest::newRow("written by Corvane") << ThumbnailText::withText(pngWithText({}), ThumbnailText::of(file)) << true;
    QTest::newRow("no PNG") << QByteArray("GIF89a Thumb::URI") << false;
    QTest::newRow("cut short") << pngFor(file).left(40) << false;
    QByteArray hugeLength = pngFor(file);
    qToBigEndian<quint32>(0xfffffff0u, hugeLength.data() + 8 + 25);
    QTest::newRow("a chunk longer than the file") << hugeLength << false;
}

void CollectionTest::metadata()
{
    QFETCH(QByteArray, png);
    QFETCH(bool, describes);
    const ThumbnailIdentity file{"file:///game/Aircraft/P51/navy.dds", 1700000000, 2796344};
    QCOMPARE(ThumbnailText::describes(ThumbnailText::read(png), file), describes);
    QVERIFY(ThumbnailText::withText("GIF89a", ThumbnailText::of(file)).isEmpty());
}

void CollectionTest::staleThumbnailsGoOnlyFromTheOwnFolder()
{
    QTemporaryDir dir;
    const QString texture = dir.path() + "/Aircraft/P51/navy.dds";
    QVERIFY(writeFile(texture, TestGame::texture("navy")));
    const ThumbnailIdentity before = ThumbnailIdentity::of(texture);
    QVERIFY(before.isValid());
    QCOMPARE(before.uri, QString::fromLatin1(QUrl::fromLocalFile(texture).toEncoded()));
    QCOMPARE(before.fileName(), QString::fromLatin1(QCryptographicHash::hash(before.uri.toUtf8(),
                                                                             QCryptographicHash::Md5).toHex()) + ".png");

    const ThumbnailFolder own(dir.path() + "/own", ThumbnailFolder::Upkeep::Own);
    const ThumbnailFolder shared(dir.path() + "/shared", ThumbnailFolder::Upkeep::Shared);
    for (const ThumbnailFolder *folder : {&own, &shared}) {
        QVERIFY(folder->store(before, pngFor(before)));
        QCOMPARE(folder->find(before), folder->folder() + before.fileName());
        QCOMPARE(folder->load(before), pngFor(before));
    }
    // The texture changes: an apply wrote it again.
    QVERIFY(writeFile(texture, TestGame::texture("navy, repainted")));
    QFile touched(texture);
    QVERIFY(touched.open(QIODevice::ReadWrite));
    QVERIFY(touched.setFileTime(QDateTime::fromSecsSinceEpoch(before.modified + 60), QFileDevice::FileModificationTime));
    touched.close();
    const ThumbnailIdentity after = ThumbnailIdentity::of(texture);
    QVERIFY(after != before);
    QCOMPARE(after.fileName(), before.fileName());

    QCOMPARE(own.find(after), QString());
    QVERIFY(!QFile::exists(own.folder() + before.fileName()));
    QCOMPARE(shared.find(after), QString());
    QCOMPARE(shared.load(after), QByteArray());
    QVERIFY(QFile::exists(shared.folder() + before.fileName()));
    QCOMPARE(ThumbnailIdentity::of(dir.path() + "/no such file").isValid(), false);
}

void CollectionTest::storeRefusesAThumbnailOfAnotherFile()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.path() + "/a.dds", "a"));
    QVERIFY(writeFile(dir.path() + "/b.dds", "b"));
    const ThumbnailFolder own(dir.path() + "/own", ThumbnailFolder::Upkeep::Own);
    const PaintResult stored =
        own.store(ThumbnailIdentity::of(dir.path() + "/a.dds"), pngFor(ThumbnailIdentity::of(dir.path() + "/b.dds")));
    QVERIFY(!stored);
    QCOMPARE(stored.reason, QString("the thumbnail does not name its file"));
    QVERIFY(!QFile::exists(own.folder() + ThumbnailIdentity::of(dir.path() + "/a.dds").fileName()));
    // Private to the player, as the standard asks.
    const ThumbnailIdentity a = ThumbnailIdentity::of(dir.path() + "/a.dds");
    QVERIFY(own.store(a, pngFor(a)));
#ifndef Q_OS_WIN
    QCOMPARE(QFile::permissions(own.folder() + a.fileName()) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
             QFileDevice::Permissions());
#endif
}

void CollectionTest::pruneDropsGoneFilesThenTheOldest()
{
    QTemporaryDir dir;
    const ThumbnailFolder own(dir.path() + "/own", ThumbnailFolder::Upkeep::Own);
    QList<ThumbnailIdentity> files;
    for (int n = 0; n < 5; ++n) {
        const QString path = dir.path() + QString("/t%1.dds").arg(n);
        QVERIFY(writeFile(path, QByteArray(n + 1, 'x')));
        files << ThumbnailIdentity::of(path);
        QVERIFY(own.store(files.last(), pngFor(files.last())));
        // Made one after another, the first longest ago.
        QFile made(own.folder() + files.last().fileName());
        QVERIFY(made.open(QIODevice::ReadWrite));
        QVERIFY(made.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-1000 + n * 100),
                                 QFileDevice::FileModificationTime));
    }
    QVERIFY(QFile::remove(dir.path() + "/t4.dds"));
    QVERIFY(writeFile(own.folder() + "not-a-thumbnail.png", "junk"));
    const qint64 one = QFileInfo(own.folder() + files[0].fileName()).size();

    // Stopped (the window closing) before it read anything: nothing goes.
    const std::atomic_bool stopped = true;
    QCOMPARE(own.prune(0, &stopped), qint64(-1));
    QCOMPARE(QDir(own.folder()).entryList(QDir::Files).size(), 6);

    // t4's file is gone and the junk names no file; then the bound keeps
    // the two most recent of the rest.
    const qint64 kept = own.prune(2 * one + one / 2);
    QVERIFY(kept <= 2 * one + one / 2);
    QStringList left = QDir(own.folder()).entryList(QDir::Files, QDir::Name);
    QStringList expected{files[2].fileName(), files[3].fileName()};
    expected.sort();
    QCOMPARE(left, expected);
    // A file far larger than any thumbnail is never read whole, nor believed.
    const QString huge = own.folder() + files[3].fileName();
    QVERIFY(writeFile(huge, pngFor(files[3]) + QByteArray(4 << 20, 'x')));
    QCOMPARE(own.load(files[3]), QByteArray());
    QVERIFY(!QFile::exists(huge));
    QVERIFY(writeFile(huge, pngFor(files[3])));

    // A shared folder is never pruned.
    const ThumbnailFolder shared(own.folder(), ThumbnailFolder::Upkeep::Shared);
    QCOMPARE(shared.prune(0), qint64(0));
    QCOMPARE(QDir(own.folder()).entryList(QDir::Files).size(), 2);
}

QTEST_GUILESS_MAIN(CollectionTest)
#include "tst_Collection.moc"
