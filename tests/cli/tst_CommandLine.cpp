#include "DdsWriter.h"
#include "Hangar.h"
#include "TempTree.h"
#include "TestArchive.h"
#include "TestGame.h"

#include <QDirIterator>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

using TempTree::readFile;
using TempTree::snapshot;
using TempTree::writeFile;

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

QByteArray testTexture(const QString &name)
{
    return readFile(QStringLiteral(CORVANE_TESTDATA_DIR "/dds/") + name);
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_game;

    QString folderOf(const QString &aircraft) const { return m_game + "Aircraft/" + aircraft + "/"; }
    QString setsFolder() const { return m_game + "sets/"; }

    // Standard error goes to errorFile when one is named (a terminal, say).
    Run cli(const QStringList &arguments, bool withGame = true, const QString &winePrefix = QString(),
            const QString &errorFile = QString())
    {
        QProcess process;
        if (!errorFile.isEmpty())
            process.setStandardErrorFile(errorFile);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        environment.insert("CORVANE_SETS_FOLDER", setsFolder());
        environment.insert("WINEPREFIX", winePrefix.isEmpty() ? m_dir.filePath("no-wine") : winePrefix);
        process.setProcessEnvironment(environment);
        process.start(CORVANE_CLI, (withGame ? QStringList{"--game", m_game} : QStringList{}) + arguments);
        // A run still going after a minute is a failure, never exit status 0.
        const bool finished = process.waitForFinished(60000);
        return Run{finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                   process.readAllStandardOutput(), QString::fromLocal8Bit(process.readAllStandardError())};
    }

private slots:
    void init()
    {
        m_game = m_dir.filePath(QString("%1-%2/").arg(QTest::currentTestFunction(), QTest::currentDataTag()));
        TestGame::addAircraft(m_game, "P51", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"}});
        TestGame::addAircraft(m_game, "Zero", {});
        QVERIFY(QFile::remove(folderOf("Zero") + "Zero.pnt")); // never seen by Corvane
    }

    // The progress line is for a player watching a terminal: a pipe never
    // gets it, and standard output stays plain JSON either way.
    void progressLineOnlyOnATerminal_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::newRow("pipe") << false;
        QTest::newRow("terminal") << true;
    }

    void progressLineOnlyOnATerminal()
    {
        QFETCH(bool, terminal);
        const QString zip = m_dir.filePath("two_tails.zip");
        QVERIFY(TestArchive::write(zip, TestArchive::Format::Zip,
                                   {{"P51/p51_red_tail.dds", "DDS red"}, {"P51/p51_blue_tail.dds", "DDS blue"}}));
        const QStringList install{"--json", "install", zip, "--aircraft", "P51", "--yes"};
        QByteArray shown; // what the terminal showed
        Run run;
        if (terminal) {
#ifdef Q_OS_UNIX
            const int master = posix_openpt(O_RDWR | O_NOCTTY);
            QVERIFY(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
            run = cli(install, true, {}, QString::fromLocal8Bit(ptsname(master)));
            fcntl(master, F_SETFL, O_NONBLOCK);
            char buffer[4096];
            for (ssize_t got; (got = read(master, buffer, sizeof buffer)) > 0;)
                shown.append(buffer, got);
            close(master);
#else
            QSKIP("a terminal is only made here on Unix");
#endif
        } else {
            run = cli(install);
        }
        QCOMPARE(run.status, 0);
        QCOMPARE(run.json().value("installed").toArray().size(), 1);
        // Text mode on Windows ends every line with CR LF; a progress line is a
        // CR that does not.
        const auto hasBareCr = [](QByteArray text) { return text.replace("\r\n", "\n").contains('\r'); };
        QVERIFY(!hasBareCr(run.out));
        if (terminal) {
            QVERIFY2(shown.contains("\rInstalling 2/2: P51/p51_"), shown.constData());
            QVERIFY2(shown.endsWith('\n'), shown.constData());
        } else {
            QVERIFY2(!hasBareCr(run.err.toUtf8()) && !run.err.contains("Installing"), qPrintable(run.err));
        }
    }

    void installingDownloads()
    {
        const QString zip = m_dir.filePath("two paints.zip");
        QVERIFY(TestArchive::write(zip, TestArchive::Format::Zip,
                                   {{"P51/p51_red_tail.dds", "DDS red"}, {"zero_green.dds", "DDS green"},
                                    {"camo.dds", "DDS camo"}, {"../escape.dds", "DDS out"}, {"notes.txt", "hi"}}));
        const auto before = snapshot(m_game);
        const Run plan = cli({"install", zip});
        QCOMPARE(plan.status, 0);
        QVERIFY2(plan.out.contains("p51_red_tail.dds -> P51 as \"Red Tail\" (by name; read-me notes.txt kept beside it)")
                     && plan.out.contains("--yes"),
                 plan.out.constData());
        QVERIFY2(plan.out.contains("../escape.dds"), plan.out.constData());
        QCOMPARE(snapshot(m_game), before);

        // The camouflage names no aircraft: installing it needs one named.
        const Run run = cli({"--json", "install", zip, "--yes"});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("camo.dds") && run.err.contains("--aircraft"), qPrintable(run.err));
        const QJsonObject json = run.json();
        QCOMPARE(json.value("plan").toArray().size(), 3);
        QCOMPARE(json.value("skipped").toArray().size(), 1);
        QCOMPARE(json.value("installed").toArray().size(), 2);
        QCOMPARE(readFile(folderOf("P51") + "Red_Tail.dds"), QByteArray("DDS red"));
        QCOMPARE(readFile(folderOf("P51") + "Red_Tail.txt"), QByteArray("hi\r\n"));
        QCOMPARE(readFile(folderOf("Zero") + "Green.dds"), QByteArray("DDS green"));
        QVERIFY(readFile(folderOf("P51") + "P51.pnt").contains("\r\nRed Tail\r\n;Paint Texture"));
        QVERIFY(readFile(folderOf("Zero") + "Zero.pnt").contains("\r\nGreen\r\n;Paint Texture"));
        QVERIFY(!QFile::exists(folderOf("P51") + "camo.dds"));
        QVERIFY(!QFile::exists(m_dir.filePath("escape.dds")));

        const QString loose = m_dir.filePath("camo.dds");
        writeFile(loose, "DDS camo");
        const Run chosen = cli({"install", loose, "--aircraft", "zero", "--name", "Jungle", "--yes"});
        QCOMPARE(chosen.status, 0);
        QVERIFY(readFile(folderOf("Zero") + "Zero.pnt").contains("\r\nJungle\r\n;Paint Texture"));

        writeFile(m_dir.filePath("fake.zip"), "not an archive");
        const Run fake = cli({"install", m_dir.filePath("fake.zip"), "--yes"});
        QCOMPARE(fake.status, 1);
        QVERIFY2(fake.err.contains("fake.zip"), qPrintable(fake.err));
    }

    void readingCommandsChangeNothing()
    {
        writeFile(folderOf("P51") + "P51_t.dds.bak", TestGame::texture("original P51"));
        writeFile(folderOf("P51") + "P51_t.dds", TestGame::texture("paint navy.dds"));
        const auto before = snapshot(m_game);

        const Run aircraft = cli({"--json", "aircraft"});
        QCOMPARE(aircraft.status, 0);
        const QJsonArray list = aircraft.json().value("aircraft").toArray();
        QCOMPARE(list.size(), 2);
        QJsonObject p51, zero;
        for (const QJsonValue &entry : list)
            (entry["folder"].toString() == "P51" ? p51 : zero) = entry.toObject();
        QCOMPARE(p51.value("title").toString(), QString("P51"));
        QCOMPARE(p51.value("paints").toInt(), 2);
        QCOMPARE(p51.value("installed").toString(), QString("Navy"));
        QVERIFY(p51.value("paintList").toString().endsWith("P51.pnt"));
        QCOMPARE(zero.value("hasPaintList").toBool(), false);
        QCOMPARE(zero.value("installed").toString(), QString("original"));
        QCOMPARE(aircraft.json().value("ok").toBool(), true);

        const Run paints = cli({"--json", "paints", "p51"});
        QCOMPARE(paints.status, 0);
        const QJsonArray rows = paints.json().value("rows").toArray();
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.at(3)["name"].toString(), QString("Navy"));
        QVERIFY(rows.at(3)["installed"].toBool() && !rows.at(2)["installed"].toBool());
        QVERIFY(rows.at(1)["exists"].toBool());

        QVERIFY(cli({"aircraft"}).out.contains("P51\tP51\t"));
        cli({"check"});
        cli({"paints", "zero"});
        QCOMPARE(snapshot(m_game), before);
    }

    void applyingAndRestoring()
    {
        QCOMPARE(cli({"apply", "P51", "navy"}).status, 0);
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("paint navy.dds"));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds.bak"), TestGame::texture("original P51"));
        QCOMPARE(cli({"apply", "p51", "2"}).status, 0);
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("paint desert.dds"));

        const Run none = cli({"restore", "Zero"});
        QCOMPARE(none.status, 1);
        QVERIFY2(none.err.contains("Zero_t.dds.bak"), qPrintable(none.err));
        QVERIFY(QFile::exists(folderOf("Zero") + "Zero.pnt")); // the list of the aircraft worked on

        const Run all = cli({"--json", "restore", "--all"});
        QCOMPARE(all.status, 0);
        QCOMPARE(all.json().value("restored").toArray().size(), 1);
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("original P51"));

        // Back on its original, the P51 keeps its backup but needs nothing.
        const auto restoredBefore = snapshot(m_game);
        const Run again = cli({"--json", "restore", "--all"});
        QCOMPARE(again.status, 0);
        QVERIFY(again.json().value("restored").toArray().isEmpty());
        QCOMPARE(snapshot(m_game), restoredBefore);
    }

    void anUpdatedAircraftIsAdoptedOnlyWhenAsked_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QByteArray>("installedAfter");
        QTest::newRow("apply") << QStringList{"apply", "P51", "desert"} << TestGame::texture("paint desert.dds");
        QTest::newRow("restore") << QStringList{"restore", "P51"} << TestGame::texture("updated P51");
        QTest::newRow("restore all") << QStringList{"restore", "--all"} << TestGame::texture("updated P51");
        QTest::newRow("adopt") << QStringList{"adopt", "p51"} << TestGame::texture("updated P51");
    }

    void anUpdatedAircraftIsAdoptedOnlyWhenAsked()
    {
        QFETCH(QStringList, command);
        QFETCH(QByteArray, installedAfter);
        QCOMPARE(cli({"apply", "P51", "navy"}).status, 0);
        writeFile(folderOf("P51") + "P51_t.dds", TestGame::texture("updated P51")); // the aircraft's update

        if (command.first() != "adopt") {
            const auto before = snapshot(m_game);
            const Run refused = cli(command);
            QCOMPARE(refused.status, 1);
            QVERIFY2(refused.err.contains(QDir::toNativeSeparators(folderOf("P51") + "P51_t.dds"))
                         && refused.err.contains("changed outside Corvane") && refused.err.contains("--adopt"),
                     qPrintable(refused.err));
            QCOMPARE(snapshot(m_game), before);
            command << "--adopt";
        }
        const Run adopted = cli(command);
        QCOMPARE(adopted.status, 0);
        const QString oldOriginal = "Original before " + QDate::currentDate().toString(Qt::ISODate);
        QVERIFY2(adopted.out.contains(oldOriginal.toUtf8()), adopted.out.constData());
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), installedAfter);
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds.bak"), TestGame::texture("updated P51"));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds.bak.1"), TestGame::texture("original P51"));
        QVERIFY(readFile(folderOf("P51") + "P51.pnt").contains(oldOriginal.toUtf8() + "\r\n;Paint Texture 3\r\nP51_t.dds.bak.1\r\n"));

        const Run again = cli({"adopt", "P51"});
        QCOMPARE(again.status, 0);
        QVERIFY2(again.out.contains("nothing to adopt"), again.out.constData());
    }

    void onlyLoadableTexturesAreAppliedAndOtherShapesTold()
    {
        writeFile(folderOf("P51") + "desert.dds", QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(100, 'p'));
        writeFile(folderOf("P51") + "navy.dds", TestGame::texture("wide navy", 8));
        const Run png = cli({"apply", "P51", "desert"});
        QCOMPARE(png.status, 1);
        QVERIFY2(png.err.contains("is a PNG picture, not a DDS texture"), qPrintable(png.err));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("original P51"));

        const Run wide = cli({"apply", "P51", "navy"});
        QCOMPARE(wide.status, 0);
        QVERIFY2(wide.out.contains("The paint is 8 x 8 DXT1, the original 4 x 4 DXT1"), wide.out.constData());
    }

    void twoWritersAtOnceLoseNoRow()
    {
#ifdef Q_OS_WIN
        QSKIP("the command line's loop runs in a POSIX shell; two writers race on Windows in tst_paint_two_writers");
#endif
        // The command line adds paints in one process while a model in this
        // one adds and removes its own, both as fast as they can.
        for (int i = 0; i < 40; ++i)
            writeFile(folderOf("P51") + QString("p%1.dds").arg(i), TestGame::texture("p"));
        QProcess other;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        environment.insert("WINEPREFIX", m_dir.filePath("no-wine"));
        other.setProcessEnvironment(environment);
        QStringList script;
        for (int i = 0; i < 20; ++i)
            script << QString("'%1' --game '%2' add P51 cli%3 '%4p%3.dds' || echo failed cli%3")
                          .arg(CORVANE_CLI, m_game).arg(i).arg(folderOf("P51"));
        other.start("sh", {"-c", script.join('\n')});
        QVERIFY(other.waitForStarted());

        Hangar hangar(m_game);
        hangar.scan(Hangar::ListCreation::ReadOnly);
        const int p51 = hangar.find("P51").first();
        QStringList kept;
        QStringList removed;
        QStringList told;
        for (int i = 20; other.state() != QProcess::NotRunning && i < 40; ++i) {
            QVERIFY(hangar.select(p51));
            const QByteArray name = "mine" + QByteArray::number(i);
            if (const PaintResult added = hangar.add(name, QString("p%1.dds").arg(i)); !added) {
                told << added.reason;
                continue;
            }
            if (i % 2 == 0) {
                kept << name;
                continue;
            }
            // Every other one is removed again, from a table loaded anew.
            QVERIFY(hangar.select(p51));
            const PaintTable &table = hangar.paintTable();
            for (int row = PaintTable::FirstPaintRow; row < table.rowCount(); ++row) {
                if (table.displayText(row) == name) {
                    if (const PaintResult gone = hangar.remove(row); gone)
                        removed << name;
                    else
                        told << gone.reason;
                    break;
                }
            }
        }
        QVERIFY(other.waitForFinished(60000));
        const QByteArray output = other.readAllStandardOutput();
        QVERIFY2(told.isEmpty(), qPrintable(told.join('\n')));
        QVERIFY2(!output.contains("failed"), output.constData());
        QVERIFY(!kept.isEmpty() && !removed.isEmpty());

        const QByteArray list = readFile(folderOf("P51") + "P51.pnt");
        for (int i = 0; i < 20; ++i)
            QVERIFY2(list.contains(QString("\r\ncli%1\r\n").arg(i).toUtf8()), list.constData());
        for (const QString &name : std::as_const(kept))
            QVERIFY2(list.contains(("\r\n" + name + "\r\n").toUtf8()), list.constData());
        for (const QString &name : std::as_const(removed))
            QVERIFY2(!list.contains(("\r\n" + name + "\r\n").toUtf8()), list.constData());
        QCOMPARE(list.count(";Paint Name"), 2 + 20 + kept.size());
    }

    void addingCopiesAnOutsideFileButNeverOverADifferentOne()
    {
        TestGame::addAircraft(m_game, "Spit", {});
        QVERIFY(QFile::remove(folderOf("Spit") + "Spit.pnt"));
        const QString outside = m_dir.filePath("download/green.dds");
        writeFile(outside, "DDS paint green");

        QCOMPARE(cli({"add", "zero", "Green", outside}).status, 0);
        QCOMPARE(readFile(folderOf("Zero") + "green.dds"), QByteArray("DDS paint green"));
        QCOMPARE(readFile(folderOf("Zero") + "Zero.pnt"), TestGame::paintList("Zero", "Zero_t.dds", {{"Green", "green.dds"}}));
        QCOMPARE(readFile(folderOf("Zero") + "Zero_t.dds.bak"), TestGame::texture("original Zero"));
        QVERIFY(!QFile::exists(folderOf("Spit") + "Spit.pnt")); // only the aircraft worked on

        QCOMPARE(cli({"add", "zero", "Green again", outside}).status, 0); // the same content is no clash
        writeFile(outside, "DDS another green");
        const Run clash = cli({"add", "zero", "Other", outside});
        QCOMPARE(clash.status, 1);
        QVERIFY2(clash.err.contains("green.dds"), qPrintable(clash.err));
        QCOMPARE(readFile(folderOf("Zero") + "green.dds"), QByteArray("DDS paint green"));
        QCOMPARE(cli({"add", "zero", "Gone", m_dir.filePath("absent.dds")}).status, 1);
        // Refused as the window refuses it: named a texture, but none inside.
        writeFile(m_dir.filePath("download/notes.dds"), "thanks for downloading");
        QCOMPARE(cli({"add", "zero", "Notes", m_dir.filePath("download/notes.dds")}).status, 1);
        QVERIFY(!QFile::exists(folderOf("Zero") + "notes.dds"));

        QCOMPARE(cli({"remove", "zero", "green again"}).status, 0);
        QCOMPARE(cli({"remove", "zero", "1"}).status, 1); // the default paint is no entry
        QCOMPARE(readFile(folderOf("Zero") + "Zero.pnt"), TestGame::paintList("Zero", "Zero_t.dds", {{"Green", "green.dds"}}));
        QVERIFY(QFile::exists(folderOf("Zero") + "green.dds"));
    }

    void paintSetsSavedAppliedAndShared()
    {
        QCOMPARE(cli({"set", "list"}).status, 0);
        QCOMPARE(cli({"apply", "P51", "Navy"}).status, 0);
        Run run = cli({"set", "save", "Evening"});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY(QFileInfo(setsFolder() + "Evening.json").isFile());
        QCOMPARE(cli({"set", "save", "P51 only", "--only", "p51"}).status, 0);

        run = cli({"--json", "set", "list"});
        QCOMPARE(run.status, 0);
        const QJsonArray sets = run.json().value("sets").toArray();
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets.at(0).toObject().value("name").toString(), "Evening");
        QCOMPARE(sets.at(0).toObject().value("aircraft").toInt(), 2);
        QCOMPARE(sets.at(1).toObject().value("aircraft").toInt(), 1);

        QCOMPARE(cli({"apply", "P51", "Desert"}).status, 0);
        run = cli({"--json", "set", "apply", "evening"});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QJsonArray outcomes = run.json().value("outcomes").toArray();
        QCOMPARE(outcomes.size(), 2);
        QCOMPARE(outcomes.at(0).toObject().value("outcome").toString(), "applied");
        QCOMPARE(outcomes.at(1).toObject().value("outcome").toString(), "already on");
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("paint navy.dds"));

        // Shared with a squadron mate whose P51 names the same paint otherwise.
        const QString file = m_dir.filePath(QString("%1.json").arg(QTest::currentTestFunction()));
        QFile::remove(file);
        QCOMPARE(cli({"set", "export", "Evening", file}).status, 0);
        QCOMPARE(cli({"set", "export", "Evening", file}).status, 1); // never over a file
        const QString mine = m_game;
        m_game = m_dir.filePath("squadron-mate/");
        TestGame::addAircraft(m_game, "P51", {{"Blue", "blue.dds"}});
        QVERIFY(writeFile(folderOf("P51") + "blue.dds", TestGame::texture("paint navy.dds")));
        run = cli({"--json", "set", "import", file, "--name", "From the squadron"});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.json().value("outcomes").toArray().at(1).toObject().value("outcome").toString(), "missing aircraft");
        QCOMPARE(cli({"set", "import", file, "--name", "from the SQUADRON"}).status, 1); // the name is taken
        run = cli({"set", "apply", "From the squadron"});
        QCOMPARE(run.status, 1); // the Zero is not here
        QVERIFY2(run.out.contains("P51: applied Blue") && run.err.contains("Zero: missing aircraft"), run.out + run.err.toUtf8());
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("paint navy.dds"));
        m_game = mine;

        // Changed outside Corvane: asked about at the end, adopted when told.
        QVERIFY(writeFile(folderOf("P51") + "P51_t.dds", TestGame::texture("updated P51")));
        QCOMPARE(cli({"apply", "P51", "Desert", "--adopt"}).status, 0);
        QVERIFY(writeFile(folderOf("P51") + "P51_t.dds", TestGame::texture("updated again")));
        run = cli({"--json", "set", "apply", "Evening"});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.json().value("questions").toArray(), QJsonArray{"P51"});
        QVERIFY2(run.err.contains("--adopt"), qPrintable(run.err));
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("updated again"));
        QCOMPARE(cli({"set", "apply", "Evening", "--adopt"}).status, 0);
        QCOMPARE(readFile(folderOf("P51") + "P51_t.dds"), TestGame::texture("paint navy.dds"));

        // A broken file among the sets is told, never half read.
        QVERIFY(writeFile(setsFolder() + "Broken.json", "{\"corvanePaintSet\": 1, \"aircraft\": [{\"folder\": 5}]}"));
        run = cli({"set", "list"});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("Broken.json") && run.out.contains("Evening"), qPrintable(run.err));
        QCOMPARE(cli({"set", "show", "Broken"}).status, 1);
        run = cli({"--json", "set", "show", "Evening"});
        QCOMPARE(run.json().value("set").toObject().value("aircraft").toArray().size(), 2);
        QCOMPARE(cli({"set", "delete", "EVENING"}).status, 0);
        QCOMPARE(cli({"set", "delete", "Evening"}).status, 1);
        QCOMPARE(cli({"set", "apply", "Evening"}).status, 1);
    }

    void paintSetRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");
        QTest::newRow("unknown action") << QStringList{"set", "swap", "x"} << 2 << "set takes";
        QTest::newRow("no name") << QStringList{"set", "apply"} << 2 << "set takes";
        QTest::newRow("extra word") << QStringList{"set", "save", "a", "b"} << 2 << "set takes";
        QTest::newRow("--adopt on save") << QStringList{"set", "save", "a", "--adopt"} << 2 << "--adopt with apply";
        QTest::newRow("--only on apply") << QStringList{"set", "apply", "a", "--only"} << 2 << "--only goes with save";
        QTest::newRow("name leading up") << QStringList{"set", "save", "../x"} << 1 << "may not";
        QTest::newRow("device name") << QStringList{"set", "save", "CON"} << 1 << "keeps for a device";
        QTest::newRow("unknown aircraft") << QStringList{"set", "save", "a", "--only", "Hurricane"} << 1 << "No aircraft is called";
        QTest::newRow("import of no file") << QStringList{"set", "import", "nowhere.json"} << 1 << "nowhere.json";
    }

    void paintSetRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, told);
        const auto before = snapshot(m_game);
        const Run run = cli(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
        QCOMPARE(snapshot(m_game), before);
    }

    // The add checks the name and the file's name before it copies: a
    // refusal leaves no file behind.
    void aRefusedAddCopiesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("told");
        QTest::newRow("comment name") << ";Sunset" << "Sunset.dds" << "cannot begin";
        QTest::newRow("end file name") << "Camo" << "#camo.dds" << "cannot begin";
        QTest::newRow("main texture's name") << "Camo" << "P51_T.dds" << "such as \"P51_T (2).dds\"";
    }

    void aRefusedAddCopiesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QFETCH(QString, told);
        QVERIFY(QFile::remove(folderOf("P51") + "P51_t.dds"));
        const QString outside = m_dir.filePath(QString("download-%1/%2").arg(QTest::currentDataTag(), file));
        writeFile(outside, TestGame::texture("download"));
        const auto before = snapshot(m_game);
        const Run run = cli({"add", "P51", name, outside});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
        QCOMPARE(snapshot(m_game), before);
    }

    // --game takes the folder the player meant, and a folder that is not
    // the game's fails instead of reading as a game without aircraft.
    void theGameFolderGivenIsChecked_data()
    {
        QTest::addColumn<QString>("given"); // under the game folder; "<other>" for a folder without Aircraft
        QTest::addColumn<int>("status");
        QTest::newRow("the game folder") << "" << 0;
        QTest::newRow("its Aircraft folder") << "Aircraft" << 0;
        QTest::newRow("cfs3.exe") << "cfs3.exe" << 0;
        QTest::newRow("a folder without Aircraft") << "<other>" << 1;
        QTest::newRow("cfs3.exe without Aircraft") << "<other>/cfs3.exe" << 1;
        QTest::newRow("no such folder") << "CF3" << 1;
    }

    void theGameFolderGivenIsChecked()
    {
        QFETCH(QString, given);
        QFETCH(int, status);
        writeFile(m_game + "cfs3.exe", "MZ");
        const QString other = m_dir.filePath(QString("other-%1").arg(QTest::currentDataTag()));
        writeFile(other + "/cfs3.exe", "MZ");
        const QString folder = given.startsWith("<other>") ? QString(given).replace("<other>", other) : m_game + given;
        const Run run = cli({"--game", folder, "check"}, false);
        QCOMPARE(run.status, status);
        if (status == 0) {
            QVERIFY2(run.out.contains("2 aircraft checked"), run.out.constData());
        } else {
            QVERIFY2(run.err.contains("--game") && !run.out.contains("aircraft checked"), qPrintable(run.err));
        }
    }

    void checkFindsBrokenListsHoweverAircraftIsSpelled()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows ignores the letter case itself");
#endif
        QVERIFY(QDir(m_game).rename("Aircraft", "AIRCRAFT"));
        writeFile(m_game + "AIRCRAFT/Broken/Broken.xdp", "<aircraft/>");
        writeFile(m_game + "AIRCRAFT/Broken/Broken.pnt", ";only a comment\r\n");
        const Run run = cli({"check"});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.contains("Broken.pnt") && run.out.contains("no title line"), run.out.constData());
        QVERIFY2(run.out.contains("2 aircraft checked, 1 problem(s)."), run.out.constData());
    }

    void roughEdges()
    {
        const Run version = cli({"--version"}, false);
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out.trimmed(), QByteArray("corvane-cli " CORVANE_VERSION));

        // Every command's summary stands apart from its synopsis.
        // Windows ends the lines with CR LF.
        const QString help = QString::fromUtf8(cli({"--help"}, false).out).replace("\r\n", "\n");
        QVERIFY(help.contains("install ARCHIVE|FILE"));
        // Every summary starts in one column, after at least two spaces, on
        // its synopsis's line or the next.
        const QStringList lines = help.section("Commands:\n", 1).section("\n\n", 0, 0).split('\n');
        QVERIFY(lines.size() >= 11);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString &line = lines.at(i);
            if (line.startsWith(QString(44, ' ')))
                continue;
            const bool beside = line.size() > 44 && line.mid(42, 2) == "  " && line.at(44) != ' ';
            const bool below = i + 1 < lines.size() && lines.at(i + 1).startsWith(QString(44, ' '))
                               && lines.at(i + 1).at(44) != ' ';
            QVERIFY2(beside || below, qPrintable(line));
        }
        QVERIFY2(!help.contains("]install") && !help.contains("]apply"), qPrintable(help));

        // Of many aircraft, the ten nearest the name are offered.
        for (const char *name : {"Ju52", "Ju87", "Ju88", "Me109", "Me110", "Me262", "Fw190", "Ta152", "Do17",
                                    "He111", "He162", "Ar234", "Bf108"})
            TestGame::addAircraft(m_game, name, {});
        const Run unknown = cli({"paints", "P52"});
        QCOMPARE(unknown.status, 1);
        QVERIFY2(unknown.err.contains("closest of the 15 aircraft: P51 (folder P51"), qPrintable(unknown.err));
        QCOMPARE(unknown.err.count("(folder "), 10);
        // As near as Ju52 by edits, Zero keeps the name's start.
        const Run tied = cli({"paints", "Ze52"});
        QVERIFY2(tied.err.contains("aircraft: Zero (folder Zero"), qPrintable(tied.err));

        // An aircraft whose list names no main texture says so.
        writeFile(folderOf("Ju52") + "Ju52.pnt", TestGame::paintList("Ju52", "", {}));
        const Run noMain = cli({"paints", "Ju52"});
        QCOMPARE(noMain.status, 0);
        QVERIFY2(noMain.out.contains("names no main texture") && noMain.out.contains("(no main texture named)"),
                 noMain.out.constData());
        QVERIFY2(!noMain.out.contains("outside the aircraft's folder"), noMain.out.constData());
    }

    void exitStatusAndMessages_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");
        QTest::newRow("help") << QStringList{"--help"} << 0 << QString();
        QTest::newRow("command help") << QStringList{"apply", "--help"} << 0 << QString();
        QTest::newRow("no command") << QStringList{} << 2 << "Usage:";
        QTest::newRow("unknown command") << QStringList{"fly"} << 2 << "unknown command";
        QTest::newRow("too few") << QStringList{"apply", "P51"} << 2 << "too few";
        QTest::newRow("unknown option") << QStringList{"paints", "--fast", "P51"} << 2 << "--fast";
        QTest::newRow("restore needs names or all") << QStringList{"restore"} << 2 << "--all";
        QTest::newRow("unknown aircraft") << QStringList{"paints", "Spitfire"} << 1 << "P51 (folder P51";
        QTest::newRow("ambiguous aircraft") << QStringList{"paints", "twin"} << 1 << "more than one";
        QTest::newRow("unknown paint") << QStringList{"apply", "P51", "Arctic"} << 1 << "2 Desert";
    }

    void exitStatusAndMessages()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, told);
        TestGame::addAircraft(m_game, "Twin", {});
        writeFile(folderOf("Zero") + "Zero.pnt", TestGame::paintList("Twin", "Zero_t.dds", {})); // a title
        const Run run = cli(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
        if (status == 0)
            QVERIFY(run.out.startsWith("Usage:"));
    }

    void theGameIsFoundAsTheWindowFindsItAndTheSettingsStayUntouched()
    {
#ifdef Q_OS_WIN
        QSKIP("the settings live in the player's registry, which a test never writes");
#endif
        const QString settings = m_dir.filePath("config/Ostrel/Ostrel.ini");
        writeFile(settings, "[Corvane]\nCFSPath=" + m_game.toUtf8() + "\n");
        const Run run = cli({"--json", "aircraft"}, false);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.json().value("aircraft").toArray().size(), 2);
        QCOMPARE(readFile(settings), "[Corvane]\nCFSPath=" + m_game.toUtf8() + "\n");
        QFile::remove(settings);
        QCOMPARE(cli({"aircraft"}, false).status, 1); // no setting, no registry entry

        // A damaged setting is told in the window's words, and passed over.
        writeFile(settings, "[Corvane]\nCFSPath=a, b\n");
        const Run damaged = cli({"aircraft"}, false);
        QCOMPARE(damaged.status, 1);
        QVERIFY2(damaged.err.contains("corvane-cli: settings: Invalid data type for 'CFSPath'"), qPrintable(damaged.err));
    }

    void infoSaysWhereTheGameWasFound_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("source");
        QTest::newRow("option") << "option" << 0 << "option";
        QTest::newRow("settings") << "settings" << 0 << "settings";
        QTest::newRow("registry") << "registry" << 0 << "registry";
        QTest::newRow("nowhere") << "nowhere" << 1 << "none";
    }
    void infoSaysWhereTheGameWasFound()
    {
#ifdef Q_OS_WIN
        QSKIP("the settings and the game's entry live in the player's registry, which a test never writes");
#endif
        QFETCH(QString, how);
        QFETCH(int, status);
        QFETCH(QString, source);
        const QString settings = m_dir.filePath("config/Ostrel/Ostrel.ini");
        QFile::remove(settings);
        if (how == "settings")
            writeFile(settings, "[Corvane]\nCFSPath=" + m_game.toUtf8() + "\n");
        const QString prefix = m_dir.filePath("prefix-" + how);
        if (how == "registry") {
            writeFile(prefix + "/system.reg", "WINE REGISTRY Version 2\n\n"
                                              "[Software\\\\Microsoft\\\\Microsoft Games\\\\Combat Flight Simulator\\\\3.0] 1\n"
                                              "\"EXE Path\"=\"C:\\\\CFS3\"\n");
            QVERIFY(QDir().mkpath(prefix + "/drive_c"));
            QVERIFY(QFile::link(QDir(m_game).absolutePath(), prefix + "/drive_c/CFS3"));
        }

        const Run run = cli({"--json", "info"}, how == "option", prefix);
        QCOMPARE(run.status, status);
        const QJsonObject json = run.json();
        QCOMPARE(json.value("source").toString(), source);
        QCOMPARE(json.value("prefix").toString(), how == "registry" ? prefix : QString());
        QCOMPARE(json.value("aircraft").toInt(), status == 0 ? 2 : 0);
        const Run text = cli({"info"}, how == "option", prefix);
        if (status == 0) {
            QVERIFY2(text.out.contains("found in") && text.out.contains("2 aircraft"), text.out.constData());
            if (how == "registry")
                QVERIFY2(text.out.contains("Wine prefix " + prefix.toUtf8()), text.out.constData());
        } else {
            QVERIFY2(text.err.contains("--game"), qPrintable(text.err));
        }
        QFile::remove(settings);
    }

    void checkReportsWhatTheGameWouldTripOver()
    {
        const QString p51 = folderOf("P51");
        writeFile(p51 + "P51_t.dds", testTexture("dxt1-rgb-4bbp-noalpha_MipMaps-1.dds"));
        writeFile(p51 + "desert.dds", testTexture("dxt5-argb-8bbp-interpolatedalpha_MipMaps-1.dds"));
        writeFile(p51 + "navy.dds", testTexture("bc4_unorm.dds"));
        QByteArray odd = testTexture("dxt1-rgb-4bbp-noalpha_MipMaps-1.dds");
        odd[16] = 60; // width 60
        odd[17] = 0;
        writeFile(p51 + "odd.dds", odd);
        writeFile(p51 + "P51.pnt", TestGame::paintList("P51", "P51_t.dds", {{"Desert", "desert.dds"}, {"Navy", "navy.dds"},
                                                                            {"Odd", "odd.dds"}, {"Gone", "gone.dds"}, {"Out", "../x.dds"}}));
        writeFile(p51 + "P51_t.dds.bak", "the original, before a patch");
        writeFile(folderOf("Broken") + "Broken.xdp", "<aircraft/>");
        writeFile(folderOf("Broken") + "Broken.pnt", ";only a comment\r\n");
        const auto before = snapshot(m_game);

        const Run run = cli({"--json", "check"});
        QCOMPARE(run.status, 1);
        QStringList problems;
        for (const QJsonValue &problem : run.json().value("problems").toArray())
            problems << QFileInfo(problem["file"].toString()).fileName() + ": " + problem["problem"].toString();
        const QStringList expected{"Broken.pnt: has no title line", "navy.dds: compressed as", "odd.dds: 60 x",
                                   "gone.dds: is missing", "P51.pnt: leads outside", "P51_t.dds: matches neither"};
        for (const QString &part : expected) {
            const QStringList parts = part.split(": ");
            QVERIFY2(problems.filter(parts.at(0) + ":").filter(parts.at(1)).size() == 1, qPrintable(problems.join('\n')));
        }
        QCOMPARE(problems.size(), expected.size());
        QCOMPARE(snapshot(m_game), before);
        QCOMPARE(cli({"check", "zero"}).status, 0);
    }

    void previewConvertsThroughTheLibrary()
    {
        const QString png = m_dir.filePath("preview.png");
        const Run run = cli({"preview", CORVANE_TESTDATA_DIR "/dds/dxt1-rgb-4bbp-noalpha_MipMaps-1.dds", png, "--size", "64"});
        QCOMPARE(run.status, 0);
        const QImage picture(png, "PNG");
        QCOMPARE(picture.size(), QSize(64, 64));
        const QImage reference(CORVANE_TESTDATA_DIR "/dds/dxt1-rgb-4bbp-noalpha_MipMaps-1.png");
        const QRgb centre = reference.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(32, 32);
        QVERIFY(qAbs(qRed(picture.pixel(32, 32)) - qRed(centre)) < 24);

        const QString bmp = m_dir.filePath("grey.bmp");
        QCOMPARE(cli({"preview", CORVANE_TESTDATA_DIR "/dds/dxt5-argb-8bbp-interpolatedalpha_MipMaps-1.dds", bmp, "--grey"}).status, 0);
        const QImage grey(bmp, "BMP");
        QVERIFY(!grey.isNull() && grey.allGray());

        writeFile(m_dir.filePath("junk.dds"), "not a picture");
        const Run junk = cli({"preview", m_dir.filePath("junk.dds"), png});
        QCOMPARE(junk.status, 1);
        QVERIFY(junk.err.contains("junk.dds"));
        QCOMPARE(cli({"preview", m_dir.filePath("junk.dds"), m_dir.filePath("out.gif")}).status, 2);
    }

    // The preview reads the mipmap level the window reads: level 0 of this
    // texture is red, every smaller level blue. Only a side beyond the
    // largest preview decodes the whole texture.
    void previewReadsTheLevelTheWindowReads_data()
    {
        QTest::addColumn<QStringList>("size");
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<bool>("wholeTexture");
        QTest::newRow("as the window") << QStringList{} << QSize(512, 512) << false;
        QTest::newRow("--size 100") << QStringList{"--size", "100"} << QSize(100, 100) << false;
        QTest::newRow("--size 1024") << QStringList{"--size", "1024"} << QSize(1024, 1024) << true;
    }
    void previewReadsTheLevelTheWindowReads()
    {
        QFETCH(QStringList, size);
        QFETCH(QSize, expected);
        QFETCH(bool, wholeTexture);
        auto levels = ddstest::mipChain(ddstest::solid(2048, 2048, 250, 0, 0), 12);
        for (std::size_t level = 1; level < levels.size(); ++level)
            levels[level] = ddstest::solid(levels[level].width, levels[level].height, 0, 0, 250);
        const QString texture = m_dir.filePath("large_t.dds");
        ddstest::writeFile(QFile::encodeName(texture).toStdString(), ddstest::legacyBlockDds(levels, ddstest::Block::Bc1, "DXT1"));
        const QString png = m_dir.filePath("large.png");
        const Run run = cli(QStringList{"preview", texture, png} + size);
        QCOMPARE(run.status, 0);
        const QImage picture(png, "PNG");
        QCOMPARE(picture.size(), expected);
        QCOMPARE(qRed(picture.pixel(10, 10)) > 200, wholeTexture);
        QCOMPARE(qBlue(picture.pixel(10, 10)) > 200, !wholeTexture);
    }

    // What the library knew reaches the player.
    void previewSaysWhyItCannotRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing") << "missing.dds" << "missing.dds: This picture cannot be opened: No such file or directory.";
        QTest::newRow("folder") << "folder.dds" << "folder.dds: This picture is not a regular file.";
        QTest::newRow("not a picture") << "junk.dds" << "junk.dds: This picture is not a picture that can be read";
    }
    void previewSaysWhyItCannotRead()
    {
        QFETCH(QString, name);
        QFETCH(QString, said);
        QDir(m_dir.path()).mkpath("folder.dds");
        writeFile(m_dir.filePath("junk.dds"), "not a picture");
        const Run run = cli({"preview", m_dir.filePath(name), m_dir.filePath("out.png")});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        QVERIFY(!QFile::exists(m_dir.filePath("out.png")));
    }

    void untrustedInputIsBoundedAndShownSafely_data()
    {
        QTest::addColumn<QByteArray>("title"); // P51's title in its list
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("shown");   // in what the command printed (out and err)
        QTest::addColumn<QString>("unshown"); // never printed
        const QString texture = CORVANE_TESTDATA_DIR "/dds/dxt1-rgb-4bbp-noalpha_MipMaps-1.dds";
        const QString out = m_dir.filePath("out.png");
        for (const char *size : {"4097", "100000", "2000000000"}) {
            QTest::newRow(qPrintable(QString("preview --size %1").arg(size)))
                << QByteArray("P51") << QStringList{"preview", texture, out, "--size", size} << 2
                << "from 1 to 4096" << "";
        }
        QTest::newRow("window title escape") << QByteArray("P51\x1b]0;owned\x07") << QStringList{"aircraft"} << 0
                                             << "P51^[]0;owned^G" << "\x1b";
        QTest::newRow("colour escape") << QByteArray("\x1b[31mP51\x7f") << QStringList{"paints", "P51"} << 0
                                       << "^[[31mP51^?" << "\x1b";
        QTest::newRow("C1 escape") << QByteArray("P51\xc2\x9b" "2J") << QStringList{"aircraft"} << 0 << "P51<9B>2J"
                                   << "\u009b";
        QTest::newRow("escape in an error") << QByteArray("P51") << QStringList{"paints", "\x1b[2J"} << 1
                                            << "No aircraft is called \"^[[2J\"" << "\x1b";
        QTest::newRow("an install that yields nothing")
            << QByteArray("P51") << QStringList{"install", m_dir.filePath("readme.zip"), "--yes"} << 1
            << "Nothing was installed: the downloads held no texture" << "";
    }

    void untrustedInputIsBoundedAndShownSafely()
    {
        QFETCH(QByteArray, title);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, shown);
        QFETCH(QString, unshown);
        writeFile(folderOf("P51") + "P51.pnt", TestGame::paintList(title, "P51_t.dds", {}));
        QVERIFY(TestArchive::write(m_dir.filePath("readme.zip"), TestArchive::Format::Zip, {{"readme.txt", "hi"}}));
        const Run run = cli(arguments);
        const QString printed = QString::fromUtf8(run.out) + run.err;
        QCOMPARE(run.status, status);
        QVERIFY2(printed.contains(shown), qPrintable(printed));
        if (!unshown.isEmpty())
            QVERIFY2(!printed.contains(unshown), qPrintable(printed));
        // JSON keeps the title as it is, escaped by JSON's own rules.
        if (arguments.first() == "aircraft") {
            const QJsonArray list = cli({"--json", "aircraft"}).json().value("aircraft").toArray();
            QStringList titles;
            for (const QJsonValue &entry : list)
                titles << entry["title"].toString();
            QVERIFY(titles.contains(QString::fromUtf8(title)));
        }
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_CommandLine.moc"
