#include "LoadedLists.h"
#include "AircraftScanner.h"
#include "HostileDownload.h"
#include "PaintApply.h"
#include "PaintListFile.h"
#include "PaintTable.h"
#include "SmallDisk.h"

#include <QtTest>

using Setup = std::function<void(HostileDownload &)>;
Q_DECLARE_METATYPE(Setup)

namespace {

// Runs one of the operations a player can start, the way the window runs it,
// and answers what the player is told (empty when all went well).
QString run(HostileDownload &d, const QString &action)
{
    if (action == "scan") {
        QList<PaintResult> problems;
        AircraftScanner().scanAircraft(d.game + "Aircraft/", &problems);
        return linesOf(problems);
    }
    PaintTable table;
    const PaintResult loaded = PaintTable::load(d.list(), table);
    if (action == "load" || !loaded)
        return loaded ? QString() : "load refused: " + loaded.reason;
    if (action.startsWith("apply "))
        return applyPaint(table, action.mid(6).toInt()).reason;
    if (action == "add")
        table.appendPaint("New", "new.dds");
    else if (action == "remove")
        table.removePaint(PaintTable::FirstPaintRow);
    return table.save(d.list(), "P51").reason;
}

QByteArray listWith(const QByteArray &mainTexture, const QList<QPair<QByteArray, QByteArray>> &paints)
{
    return TestGame::paintList("P51", mainTexture, paints);
}

} // namespace

class HostileDownloadsTest : public QObject
{
    Q_OBJECT

    // Every case: the expected refusal (or none), nothing outside changed,
    // nothing of the aircraft's changed but what may, no temporary file.
    void check(const Setup &setup, const QString &action, const QString &told,
               const QStringList &mayChange = {})
    {
        HostileDownload d;
        QVERIFY(d.isValid());
        setup(d);
        if (!d.cannotBuildHere.isEmpty())
            QSKIP(qPrintable(d.cannotBuildHere));
        const QString answer = run(d, action);
        if (told.isEmpty())
            QCOMPARE(answer, QString());
        else
            QVERIFY2(answer.contains(told, Qt::CaseInsensitive), qPrintable("told: " + answer));
        QCOMPARE(d.outsideChanges(), QString());
        QCOMPARE(d.aircraftChanges(mayChange), QString());
    }

    void addColumns()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QStringList>("mayChange");
    }

private slots:
    void linksPipesAndFoldersAreJudgedByWhatTheyAre_data()
    {
        addColumns();
        const QString linkOut = "is a link to a file outside the aircraft folder";
        const QString dangling = "is a link to a file that does not exist";
        const QString notRegular = "is not a regular file";
        auto row = [](const char *name, Setup setup, const char *action, const QString &told,
                      const QStringList &mayChange = {}) {
            QTest::newRow(name) << setup << QString(action) << told << mayChange;
        };
        row("main texture links outside", [](HostileDownload &d) {
            d.replaceWithLink("P51_t.dds", d.outside + "secret.dds"); }, "apply 2", "P51_t.dds " + linkOut);
        row("main texture links nowhere outside", [](HostileDownload &d) {
            d.replaceWithLink("P51_t.dds", d.outside + "new.dds"); }, "apply 2", "P51_t.dds " + dangling);
        row("main texture links to a device", [](HostileDownload &d) {
            d.replaceWithLink("P51_t.dds", "/dev/null"); }, "apply 2", "P51_t.dds " + linkOut);
        row("main texture is a pipe", [](HostileDownload &d) {
            d.replaceWithPipe("P51_t.dds"); }, "apply 2", "P51_t.dds " + notRegular);
        row("main texture is a pipe, no backup yet", [](HostileDownload &d) {
            QFile::remove(d.aircraft + "P51_t.dds.bak");
            d.replaceWithPipe("P51_t.dds"); }, "apply 2", "P51_t.dds " + notRegular);
        row("backup links outside", [](HostileDownload &d) {
            d.replaceWithLink("P51_t.dds.bak", d.outside + "secret.dds"); }, "apply 2", "P51_t.dds.bak\n" + linkOut);
        row("backup links nowhere outside", [](HostileDownload &d) {
            d.replaceWithLink("P51_t.dds.bak", d.outside + "made.dds"); }, "apply 2", "P51_t.dds.bak\n" + dangling);
        row("paint links outside", [](HostileDownload &d) {
            d.replaceWithLink("desert.dds", d.outside + "secret.dds"); }, "apply 2", "desert.dds " + linkOut);
        row("paint links to an endless device", [](HostileDownload &d) {
            d.replaceWithLink("desert.dds", "/dev/zero"); }, "apply 2", "desert.dds " + linkOut);
        row("paint is a pipe", [](HostileDownload &d) {
            d.replaceWithPipe("desert.dds"); }, "apply 2", "desert.dds " + notRegular);
        row("paint is a folder", [](HostileDownload &d) {
            d.replaceWithFolder("desert.dds"); }, "apply 2", "desert.dds " + notRegular);
        row("paint in a subfolder linked outside", [](HostileDownload &d) {
            d.write("P51.pnt", listWith("P51_t.dds", {{"Out", "skins\\secret.dds"}}));
            d.replaceWithLink("skins", d.outside); }, "apply 2", "lies outside the aircraft folder");
        row("list links outside", [](HostileDownload &d) {
            d.replaceWithLink("P51.pnt", d.outside + "notes.pnt"); }, "load", "P51.pnt " + linkOut);
        row("list links outside, scan", [](HostileDownload &d) {
            d.replaceWithLink("P51.pnt", d.outside + "notes.pnt"); }, "scan", "P51.pnt " + linkOut);
        row("list links nowhere outside, scan", [](HostileDownload &d) {
            d.replaceWithLink("P51.pnt", d.outside + "made.pnt"); }, "scan", "P51.pnt " + dangling);
        row("list is a pipe", [](HostileDownload &d) {
            d.replaceWithPipe("P51.pnt"); }, "load", "P51.pnt " + notRegular);
        row("list is a pipe, scan", [](HostileDownload &d) {
            d.replaceWithPipe("P51.pnt"); }, "scan", "P51.pnt " + notRegular);
        row("definition is a pipe, scan", [](HostileDownload &d) {
            d.replaceWithPipe("P51.xdp"); }, "scan", "P51.xdp " + notRegular);
        row("aircraft folder links outside the game, scan", [](HostileDownload &d) {
            TempTree::writeFile(d.outside + "Evil.xdp", "<aircraft/>");
            d.makeLink(d.outside, d.game + "Aircraft/Evil");
            d.rememberOutside(); }, "scan", "is a link to a folder outside the Aircraft folder");
        row("main texture links inside", [](HostileDownload &d) {
            TempTree::writeFile(d.aircraft + "skins/real_t.dds", TestGame::texture("original P51"));
            d.replaceWithLink("P51_t.dds", d.aircraft + "skins/real_t.dds"); }, "apply 2", "",
            {"skins/real_t.dds"});
        row("list links inside", [](HostileDownload &d) {
            TempTree::writeFile(d.aircraft + "lists/P51.pnt", listWith("P51_t.dds", {{"Desert", "desert.dds"}}));
            d.replaceWithLink("P51.pnt", "lists/P51.pnt"); }, "add", "", {"lists/P51.pnt"});
    }

    void linksPipesAndFoldersAreJudgedByWhatTheyAre()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, action);
        QFETCH(QString, told);
        QFETCH(QStringList, mayChange);
        check(setup, action, told, mayChange);
    }

    void aLinkInsideIsWrittenWhereItLeads()
    {
        HostileDownload d;
        TempTree::writeFile(d.aircraft + "skins/real_t.dds", TestGame::texture("original P51"));
        d.replaceWithLink("P51_t.dds", d.aircraft + "skins/real_t.dds");
        if (!d.cannotBuildHere.isEmpty())
            QSKIP(qPrintable(d.cannotBuildHere));
        QCOMPARE(run(d, "apply 2"), QString());
        QVERIFY(QFileInfo(d.aircraft + "P51_t.dds").isSymLink());
        QCOMPARE(d.read("skins/real_t.dds"), TestGame::texture("paint desert.dds"));
    }

    void theMainTextureIsNeverAListDefinitionOrBackup_data()
    {
        addColumns();
        auto row = [](const char *name, const QByteArray &mainTexture, const char *kind) {
            QTest::newRow(name) << Setup([mainTexture](HostileDownload &d) {
                QFile::remove(d.aircraft + "P51_t.dds.bak");
                d.write("P51.pnt", listWith(mainTexture, {{"Desert", "desert.dds"}}));
            }) << QString("apply 2") << QString("is %1, not a texture").arg(kind) << QStringList();
        };
        row("its own list", "P51.pnt", "a paint list");
        row("its own list in other letter case", "p51.PNT", "a paint list");
        row("its definition", "P51.xdp", "an aircraft definition");
        row("a backup", "P51_t.dds.bak", "a backup");
        QTest::newRow("a link with an innocent name to its list")
            << Setup([](HostileDownload &d) {
                   QFile::remove(d.aircraft + "P51_t.dds.bak");
                   d.replaceWithLink("P51_t.dds", d.aircraft + "P51.pnt");
               })
            << QString("apply 2") << QString("is a paint list, not a texture") << QStringList();
    }

    void theMainTextureIsNeverAListDefinitionOrBackup()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, action);
        QFETCH(QString, told);
        check(setup, action, told);
    }

    void onlyASoundBackupLetsTheOriginalBeOverwritten_data()
    {
        addColumns();
        auto row = [](const char *name, Setup setup, const char *action, const char *reason) {
            QTest::newRow(name) << setup << QString(action)
                                << QString("P51_t.dds.bak\n%1, so it cannot be trusted").arg(reason)
                                << QStringList();
        };
        row("backup is a folder", [](HostileDownload &d) { d.replaceWithFolder("P51_t.dds.bak"); },
            "apply 2", "is not a regular file");
        row("backup is empty", [](HostileDownload &d) { d.write("P51_t.dds.bak", ""); },
            "apply 2", "is empty");
        row("restoring from an empty backup", [](HostileDownload &d) { d.write("P51_t.dds.bak", ""); },
            "apply 1", "is empty");
        row("backup is a pipe", [](HostileDownload &d) { d.replaceWithPipe("P51_t.dds.bak"); },
            "apply 2", "is not a regular file");
        row("backup links nowhere inside", [](HostileDownload &d) {
            d.replaceWithLink("P51_t.dds.bak", "gone.dds"); }, "apply 2", "is a link to a file that does not exist");
        row("backup in other letter case is a folder", [](HostileDownload &d) {
            QFile::remove(d.aircraft + "P51_t.dds.bak");
            d.replaceWithFolder("P51_T.DDS.BAK"); }, "apply 2", "is not a regular file");
    }

    void onlyASoundBackupLetsTheOriginalBeOverwritten()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, action);
        QFETCH(QString, told);
        check(setup, action, told);
    }

    void listsBeyondTheSizeLimitAreRefusedUnread_data()
    {
        addColumns();
        const qint64 limit = PaintListFile::MaxFileSize;
        auto sized = [](qint64 size) {
            return Setup([size](HostileDownload &d) {
                QFile file(d.list());
                QVERIFY(file.open(QIODevice::Append) && file.resize(size)); // sparse: cheap to make
                file.close();
                d.rememberAircraft();
            });
        };
        const QString tooBig = "P51.pnt is larger than 1024 KiB";
        QTest::newRow("exactly the limit") << sized(limit) << "load" << "" << QStringList();
        QTest::newRow("one byte more") << sized(limit + 1) << "load" << tooBig << QStringList();
        QTest::newRow("forty megabytes") << sized(40 * limit) << "load" << tooBig << QStringList();
        QTest::newRow("forty megabytes, scan") << sized(40 * limit) << "scan" << tooBig << QStringList();
    }

    void listsBeyondTheSizeLimitAreRefusedUnread()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, action);
        QFETCH(QString, told);
        check(setup, action, told);
    }

    void savingKeepsSubfolderValuesAsRead()
    {
        HostileDownload d;
        const QByteArray list = listWith("maps\\P51_t.dds", {{"Gone", "gone.dds"}, {"Win", "skins\\desert.dds"},
                                                            {"Unix", "skins/navy.dds"}});
        d.write("P51.pnt", list);
        QCOMPARE(run(d, "remove"), QString()); // drops "Gone"
        QCOMPARE(d.read("P51.pnt"), listWith("maps\\P51_t.dds", {{"Win", "skins\\desert.dds"},
                                                                {"Unix", "skins/navy.dds"}}));
        QCOMPARE(run(d, "add"), QString());
        QCOMPARE(d.read("P51.pnt"), listWith("maps\\P51_t.dds", {{"Win", "skins\\desert.dds"},
                                                                {"Unix", "skins/navy.dds"},
                                                                {"New", "new.dds"}}));
    }

    void aListChangedOnDiskIsNeverOverwritten_data()
    {
        QTest::addColumn<QByteArray>("changedTo");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("saved"); // empty: refused, and the file kept as changed
        const QByteArray original = listWith("P51_t.dds", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"}});
        const QByteArray byHand = listWith("P51_t.dds", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"},
                                                         {"Typed", "typed.dds"}});
        QTest::newRow("unchanged, add")
            << original << "add"
            << listWith("P51_t.dds", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"}, {"New", "new.dds"}});
        QTest::newRow("paint typed in Notepad, add")
            << byHand << "add"
            << listWith("P51_t.dds", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"}, {"Typed", "typed.dds"},
                                      {"New", "new.dds"}});
        QTest::newRow("paint typed in Notepad, remove")
            << byHand << "remove"
            << listWith("P51_t.dds", {{"Navy", "navy.dds"}, {"Typed", "typed.dds"}});
        QTest::newRow("main texture changed in Notepad, add")
            << listWith("other_t.dds", {{"Desert", "desert.dds"}}) << "add"
            << listWith("other_t.dds", {{"Desert", "desert.dds"}, {"New", "new.dds"}});
        QTest::newRow("the paint to remove already gone")
            << listWith("P51_t.dds", {{"Navy", "navy.dds"}}) << "remove" << QByteArray();
        QTest::newRow("a second copy removed the same paint and added one")
            << listWith("P51_t.dds", {{"Navy", "navy.dds"}, {"Other", "other.dds"}}) << "remove"
            << QByteArray();
    }

    void aListChangedOnDiskIsNeverOverwritten()
    {
        QFETCH(QByteArray, changedTo);
        QFETCH(QString, action);
        QFETCH(QByteArray, saved);
        HostileDownload d;
        PaintTable table = *loadedTable(d.list());
        const bool changed = changedTo != d.read("P51.pnt");
        TempTree::writeFile(d.list(), changedTo); // Notepad, or a second Corvane
        if (action == "add")
            table.appendPaint("New", "new.dds");
        else
            table.removePaint(PaintTable::FirstPaintRow);
        const PaintResult result = table.save(d.list(), "P51");
        const QString told = result.reason;
        QCOMPARE(result.ok, !saved.isEmpty());
        QCOMPARE(d.read("P51.pnt"), saved.isEmpty() ? changedTo : saved);
        if (saved.isEmpty())
            QVERIFY2(told.contains("no longer lists the paint \"Desert\""), qPrintable(told));
        else
            QCOMPARE(table.lastSaveMerged(), changed);
        QCOMPARE(d.outsideChanges(), QString());
    }

    void aMergedTableShowsWhatWasSaved()
    {
        HostileDownload d;
        PaintTable table = *loadedTable(d.list());
        TempTree::writeFile(d.list(), listWith("P51_t.dds", {{"Typed", "typed.dds"}}));
        table.appendPaint("New", "new.dds");
        QVERIFY(table.save(d.list(), "P51"));
        QVERIFY(table.lastSaveMerged());
        QCOMPARE(table.rowCount(), 4);
        QCOMPARE(table.displayText(2), QString("Typed"));
        QCOMPARE(table.displayText(3), QString("New"));
        // The next save starts from what was written, so nothing is merged twice.
        table.removePaint(3);
        QVERIFY(table.save(d.list(), "P51"));
        QVERIFY(!table.lastSaveMerged());
        QCOMPARE(d.read("P51.pnt"), listWith("P51_t.dds", {{"Typed", "typed.dds"}}));
    }

    void aLineTooLongForOneReadIsNeverSplitIntoRows_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<int>("line"); // 0: the save goes through
        const QByteArray head = ";Autogenerated Corvane file\r\n;Aircraft Title\r\nP51\r\n"
                                ";Original Texture name\r\nP51_t.dds\r\n";
        QTest::newRow("long paint name") << head + ";Paint Name 1\r\n" + QByteArray(300, 'n')
                                                + "\r\n;Paint Texture 1\r\ndesert.dds\r\n##\r\n" << 7;
        QTest::newRow("long comment") << head + ";" + QByteArray(300, 'c') + "\r\nDesert\r\ndesert.dds\r\n##\r\n" << 6;
        QTest::newRow("254 characters") << head + QByteArray(254, 'n') + "\r\ndesert.dds\r\n##\r\n" << 6;
        QTest::newRow("253 characters") << head + QByteArray(253, 'n') + "\r\ndesert.dds\r\n##\r\n" << 0;
        QTest::newRow("long line after the end") << head + "##\r\n" + QByteArray(300, 'x') + "\r\n" << 0;
    }

    void aLineTooLongForOneReadIsNeverSplitIntoRows()
    {
        QFETCH(QByteArray, list);
        QFETCH(int, line);
        HostileDownload d;
        d.write("P51.pnt", list);
        const QString told = run(d, "add");
        if (line == 0) {
            QCOMPARE(told, QString());
            return;
        }
        QVERIFY2(told.startsWith(QString("Line %1 of the paint list is longer than 253 characters").arg(line)),
                 qPrintable(told));
        QCOMPARE(d.aircraftChanges(), QString());
    }

    void aFullDiskIsToldInTheSystemsWords_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("apply") << "apply 2";
        QTest::newRow("backup") << "apply 3";
        QTest::newRow("save") << "add";
    }

    void aFullDiskIsToldInTheSystemsWords()
    {
        QFETCH(QString, action);
        HostileDownload d;
        const QString toldFile = d.outside + "told.txt";
        const QByteArray original = "original P51";
        // The aircraft folder is the small disk; its files are made on it.
        const int result = SmallDisk::run(d.aircraft, 64, [&] {
            // The main texture is the navy paint, so it may be overwritten.
            // Sizes in 4 KiB pages of the 16 there are: main texture and
            // navy 4 each, desert 5, list and backup 1 each; what is left
            // holds neither a copy of desert nor a backup of the main texture.
            const QByteArray navy = TestGame::texture(QByteArray(16000, 'o'));
            TempTree::writeFile(d.aircraft + "P51_t.dds", navy);
            TempTree::writeFile(d.aircraft + "desert.dds", TestGame::texture(QByteArray(20000, 'd')));
            TempTree::writeFile(d.aircraft + "navy.dds", navy);
            TempTree::writeFile(d.list(), listWith("P51_t.dds", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"}}));
            if (action == "apply 2")
                TempTree::writeFile(d.aircraft + "P51_t.dds.bak", original);
            const QByteArray listBefore = d.read("P51.pnt");
            const QByteArray mainBefore = d.read("P51_t.dds");
            QString told;
            {
                std::optional<PaintTable> table = loadedTable(d.list());
                if (action == "add") {
                    table->appendPaint("New", QByteArray(200, 'n'));
                    for (int i = 0; i < 40; ++i)
                        table->appendPaint(QByteArray(200, 'p'), QByteArray(200, 't'));
                    told = table->save(d.list(), "P51").reason;
                } else {
                    told = applyPaint(*table, action.mid(6).toInt()).reason;
                }
            }
            TempTree::writeFile(toldFile, told.toUtf8());
            const QStringList hidden = QDir(d.aircraft).entryList({".*"}, QDir::Files | QDir::Hidden);
            return d.read("P51.pnt") == listBefore && d.read("P51_t.dds") == mainBefore && hidden.isEmpty() ? 0 : 1;
        });
        if (result == SmallDisk::Unavailable)
            QSKIP("no small disk can be mounted here");
        QCOMPARE(result, 0);
        const QString told = QString::fromUtf8(TempTree::readFile(toldFile));
        QVERIFY2(told.contains("No space left on device"), qPrintable(told));
    }
};

QTEST_GUILESS_MAIN(HostileDownloadsTest)
#include "tst_HostileDownloads.moc"
