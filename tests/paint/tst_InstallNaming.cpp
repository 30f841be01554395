#include "LoadedLists.h"
#include "AircraftScanner.h"
#include "InstallPlan.h"
#include "PaintListFile.h"
#include "PaintNaming.h"
#include "PaintNote.h"
#include "TestArchive.h"
#include "TestGame.h"

#include <QTemporaryDir>
#include <QTest>

using TestArchive::Entry;

namespace {

// A DDS header is all the plan looks at; the rest is the paint.
QByteArray texture(const QByteArray &paint)
{
    return "DDS " + paint;
}

} // namespace

class InstallNamingTest : public QObject
{
    Q_OBJECT

private slots:
    void readableNames_data();
    void readableNames();
    void paintNames_data();
    void paintNames();
    void readmeNames_data();
    void readmeNames();
    void fileNames_data();
    void fileNames();
    void notes_data();
    void notes();
    void layouts_data();
    void layouts();

private:
    QTemporaryDir m_dir;
};

void InstallNamingTest::readableNames_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("name");
    QTest::newRow("underscores") << "p51_red_tail.dds" << "P51 Red Tail";
    QTest::newRow("capitals kept") << "spit-RAF_92sqn.DDS" << "Spit RAF 92sqn";
    QTest::newRow("doubled separators") << "__bf109__e.png" << "Bf109 E";
    QTest::newRow("dots part words") << "me.262.v2.dds" << "Me 262 V2";
    QTest::newRow("no extension") << "zero" << "Zero";
    QTest::newRow("accented") << "été_bleu.tga" << "Été Bleu";
    QTest::newRow("designation hyphen kept") << "P-51D_RedTails_332FG.zip" << "P-51D RedTails 332FG";
    QTest::newRow("hyphen before a word parts") << "F4U-1D-jolly-rogers" << "F4U-1D Jolly Rogers";
    QTest::newRow("one piece parted at capital words") << "YellowNose.7z" << "Yellow Nose";
    QTest::newRow("designation in one piece stays") << "Fw190A8.zip" << "Fw190A8";
    QTest::newRow("mark stays") << "Spitfire_MkIX" << "Spitfire MkIX";
    QTest::newRow("unknown extension stays") << "Me.Bubi" << "Me Bubi";
}

void InstallNamingTest::readableNames()
{
    QFETCH(QString, fileName);
    QFETCH(QString, name);
    QCOMPARE(PaintNaming::readableName(fileName), name);
}

void InstallNamingTest::paintNames_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QStringList>("aircraft");
    QTest::addColumn<QString>("name");
    const QStringList p51{"P51D", "p51d"};
    QTest::newRow("aircraft and t dropped") << "P-51D_RedTails_t.dds" << p51 << "RedTails";
    QTest::newRow("main texture says nothing") << "p51d_t.dds" << p51 << "";
    QTest::newRow("aircraft anywhere") << "RedTails_P51D_332FG" << p51 << "RedTails 332FG";
    QTest::newRow("aircraft in two words") << "Spitfire_MkIX_No92Sqn.dds" << QStringList{"Spitfire_MkIX"} << "No92Sqn";
    QTest::newRow("other aircraft kept") << "P47D_Razorback" << p51 << "P47D Razorback";
    QTest::newRow("only the aircraft") << "P51D" << p51 << "";
    QTest::newRow("generic folder") << "Textures" << p51 << "";
    QTest::newRow("t inside kept") << "t_bolt" << p51 << "T Bolt";
    QTest::newRow("longer word not the aircraft") << "P51DX_Racer" << p51 << "P51DX Racer";
}

void InstallNamingTest::paintNames()
{
    QFETCH(QString, from);
    QFETCH(QStringList, aircraft);
    QFETCH(QString, name);
    QCOMPARE(PaintNaming::paintNameFrom(from, aircraft), name);
}

void InstallNamingTest::readmeNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::newRow("name line") << "Corsair skin\nName: VF-17 Jolly Rogers\nby someone" << "VF-17 Jolly Rogers";
    QTest::newRow("title line, any case") << "\n  TITLE = 332nd FG, Red Tails  \n" << "332nd FG, Red Tails";
    QTest::newRow("first line") << "\n\nJG 26 Schlageter\nSkin by a painter, 2004" << "JG 26 Schlageter";
    QTest::newRow("rule first") << "==========\nJG 26" << "";
    QTest::newRow("too long") << QString(60, u'a') << "";
    QTest::newRow("read-me title") << "README for my skin" << "";
    QTest::newRow("web address") << "www.skins.example" << "";
    QTest::newRow("name line not plain") << "Name: <b>bold</b>\nPlain first" << "";
    QTest::newRow("empty") << "" << "";
}

void InstallNamingTest::readmeNames()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QCOMPARE(PaintNaming::nameInReadme(text), name);
}

void InstallNamingTest::fileNames_data()
{
    QTest::addColumn<QString>("paintName");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("spaces") << "RedTails 332FG" << "RedTails_332FG.dds";
    QTest::newRow("case and hyphen kept") << "VF-17 Jolly Rogers" << "VF-17_Jolly_Rogers.dds";
    QTest::newRow("accents dropped") << "Été bleu" << "Ete_bleu.dds";
    QTest::newRow("unsafe characters") << "a/b\\c:d*e?\"<>|" << "a_b_c_d_e.dds";
    QTest::newRow("nothing left") << "!!!" << "paint.dds";
    QTest::newRow("device name") << "Con" << "Con_paint.dds";
    QTest::newRow("long name cut") << QString(100, u'x') << QString(64, u'x') + ".dds";
    QTest::newRow("dots") << "..hidden." << "hidden.dds";
}

void InstallNamingTest::fileNames()
{
    QFETCH(QString, paintName);
    QFETCH(QString, fileName);
    QCOMPARE(PaintNaming::fileNameForPaint(paintName, ".dds"), fileName);
}

void InstallNamingTest::notes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBFStaffel \xC3\xA9t\xC3\xA9\r\n") << "Staffel été";
    QTest::newRow("windows-1252") << QByteArray("Jagdgeschwader \xE9t\xE9 \x93quoted\x94") << "Jagdgeschwader été “quoted”";
    QTest::newRow("utf-16 le with mark") << QByteArray("\xFF\xFEH\0i\0\r\0\n\0!\0", 12) << "Hi\n!";
    QTest::newRow("utf-16 be with mark") << QByteArray("\xFE\xFF\0H\0i", 6) << "Hi";
    QTest::newRow("utf-16 le without mark") << QByteArray("R\0e\0d\0 \0T\0a\0i\0l\0", 16) << "Red Tail";
    QTest::newRow("control characters dropped") << QByteArray("a\x1b[31mb\x07\tc\rd") << "a[31mb\tc\nd";
}

void InstallNamingTest::notes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(PaintNote::decode(bytes), text);
    QCOMPARE(PaintNote::decode(PaintNote::encode(text)), text);
}

// Skins as their makers ship them, each installed into a game of five
// aircraft: the paint name and the file name it is stored under.
void InstallNamingTest::layouts_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QList<Entry>>("entries");
    QTest::addColumn<QString>("aircraft");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("packing"); // "zip", "zip in a zip" or "folder"
    QTest::addColumn<QString>("packing"); // "zip", "zip in a zip" or "folder"

    QTest::newRow("main texture in a paint-named folder")
        << "P51D_RedTails.zip" << QList<Entry>{{"P51D_RedTails_332FG/P51D_t.dds", texture("red")}}
        << "P51D" << "RedTails 332FG" << "RedTails_332FG.dds" << "" << "zip";
    QTest::newRow("main texture in the aircraft's folder")
        << "P47D_Razorback_Hun_Hunter.zip" << QList<Entry>{{"P47D/P47D_t.dds", texture("hun")}}
        << "P47D" << "Razorback Hun Hunter" << "Razorback_Hun_Hunter.dds" << "" << "zip";
    QTest::newRow("paint-named texture at the root")
        << "spit.zip" << QList<Entry>{{"Spitfire_MkIX_No92Sqn.dds", texture("92")}}
        << "Spitfire_MkIX" << "No92Sqn" << "No92Sqn.dds" << "" << "zip";
    QTest::newRow("read-me with a name line")
        << "f4u.zip"
        << QList<Entry>{{"F4U1D/F4U1D_t.dds", texture("vf17")},
                        {"F4U1D/readme.txt", "Corsair skin\r\nName: VF-17 Jolly Rogers\r\nby a painter"}}
        << "F4U1D" << "VF-17 Jolly Rogers" << "VF-17_Jolly_Rogers.dds"
        << "Corsair skin\nName: VF-17 Jolly Rogers\nby a painter" << "zip";
    QTest::newRow("read-me's first line, read-me at the root")
        << "fw.zip"
        << QList<Entry>{{"Fw190A8/Textures/Fw190A8_t.dds", texture("jg26")}, {"Info.TXT", "JG 26 Schlageter\nSkin by a painter"}}
        << "Fw190A8" << "JG 26 Schlageter" << "JG_26_Schlageter.dds" << "JG 26 Schlageter\nSkin by a painter" << "zip";
    QTest::newRow("one-piece archive name")
        << "YellowNose.zip" << QList<Entry>{{"P51D_t.dds", texture("yellow")}}
        << "P51D" << "Yellow Nose" << "Yellow_Nose.dds" << "" << "zip";
    QTest::newRow("designation and trailing t dropped")
        << "pack.zip" << QList<Entry>{{"P51D/P-51D_Old_Crow_t.dds", texture("crow")}}
        << "P51D" << "Old Crow" << "Old_Crow.dds" << "" << "zip";
    QTest::newRow("pack of zips")
        << "Mustang_pack.zip" << QList<Entry>{{"P51D_Big_Beautiful_Doll.zip", texture("doll")}}
        << "P51D" << "Big Beautiful Doll" << "Big_Beautiful_Doll.dds" << "" << "zip in a zip";
    QTest::newRow("unpacked folder")
        << "Corsair_VMF-214" << QList<Entry>{{"F4U1D/F4U1D_t.dds", texture("214")}, {"F4U1D/Notes.txt", "Black Sheep"}}
        << "F4U1D" << "Black Sheep" << "Black_Sheep.dds" << "Black Sheep" << "folder";
}

void InstallNamingTest::layouts()
{
    QFETCH(QString, archive);
    QFETCH(QList<Entry>, entries);
    QFETCH(QString, aircraft);
    QFETCH(QString, name);
    QFETCH(QString, fileName);
    QFETCH(QString, note);
    QFETCH(QString, packing);

    const QString game = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + '/');
    for (const char *title : {"P51D", "P47D", "Spitfire_MkIX", "F4U1D", "Fw190A8"})
        TestGame::addAircraft(game, title, {});
    const QString path = game + archive;
    if (packing == "folder") {
        for (const Entry &entry : entries)
            QVERIFY(TempTree::writeFile(path + '/' + entry.path, entry.data));
    } else if (packing == "zip in a zip") {
        // The pack's one entry is a skin's own archive, holding the main texture.
        const QString inner = m_dir.filePath("inner.zip");
        QVERIFY(TestArchive::write(inner, TestArchive::Format::Zip, {{"P51D_t.dds", entries[0].data}}));
        QVERIFY(TestArchive::write(path, TestArchive::Format::Zip, {{entries[0].path, TempTree::readFile(inner)}}));
    } else {
        QVERIFY(TestArchive::write(path, TestArchive::Format::Zip, entries));
    }
    const QList<AircraftEntry> all = AircraftScanner().scanAircraft(game + "Aircraft/");

    const InstallPlan plan = planInstall({{path}, -1, {}}, all);
    QCOMPARE(plan.items.size(), 1);
    QVERIFY(plan.items[0].aircraft >= 0);
    QCOMPARE(all[plan.items[0].aircraft].title, aircraft);
    QCOMPARE(plan.items[0].paintName, name);

    const QList<AircraftInstallResult> results = carryOut(plan, all);
    QCOMPARE(results.size(), 1);
    QVERIFY2(results[0].problems.isEmpty(), qPrintable(linesOf(results[0].problems)));
    const QString folder = game + "Aircraft/" + aircraft + "/";
    QCOMPARE(loadedList(folder + aircraft + ".pnt")->paints,
             (QList<PaintEntry>{{name.toUtf8(), fileName.toUtf8()}}));
    QCOMPARE(TempTree::readFile(folder + fileName), entries[0].data);
    QCOMPARE(TempTree::readFile(folder + aircraft + "_t.dds"), TestGame::texture("original " + aircraft.toUtf8()));
    QCOMPARE(PaintNote::readFor(folder, folder + fileName), note);
}

QTEST_GUILESS_MAIN(InstallNamingTest)
#include "tst_InstallNaming.moc"
