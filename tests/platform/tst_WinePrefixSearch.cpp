#include "GameRegistry.h"
#include "SteamLibraries.h"
#include "TempTree.h"
#include "WinePrefixSearch.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <sys/stat.h>

namespace {

// A test-built home folder with the layouts the prefix managers leave.
class Home
{
public:
    Home() { m_places = {QString(), m_dir.path(), m_dir.filePath(".config"), m_dir.filePath(".local/share")}; }

    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    WinePrefixPlaces &places() { return m_places; }

    // A prefix whose registry names C:\Games\CFS3; the folder itself exists
    // only when asked for.
    QString prefix(const QString &relative, bool withGameFolder = true) const
    {
        const QString folder = path(relative);
        TempTree::writeFile(folder + "/system.reg",
                            "WINE REGISTRY Version 2\n\n"
                            "[Software\\\\Microsoft\\\\Microsoft Games\\\\Combat Flight Simulator\\\\3.0] 1\n"
                            "\"EXE Path\"=\"C:\\\\Games\\\\CFS3\"\n");
        QDir().mkpath(folder + (withGameFolder ? "/drive_c/Games/CFS3" : "/drive_c"));
        return folder;
    }

    void file(const QString &relative, const QByteArray &text) const { TempTree::writeFile(path(relative), text); }

    void fifo(const QString &relative) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        mkfifo(QFile::encodeName(path(relative)).constData(), 0600);
    }

private:
    QTemporaryDir m_dir;
    WinePrefixPlaces m_places;
};

QByteArray lutrisGame(const QByteArray &prefix)
{
    return "game:\n  exe: drive_c/Games/CFS3/cfs3.exe\n  prefix: " + prefix + "\ngame_slug: cfs3\nname: CFS3\nwine:\n  version: lutris-7.2\n";
}

QByteArray heroicGame(const QByteArray &prefix)
{
    return "{\n  \"Cfs3Gog\": {\n    \"autoInstallDxvk\": false,\n    \"winePrefix\": \"" + prefix
           + "\",\n    \"wineVersion\": {\"name\": \"Wine - GE\", \"type\": \"wine\"}\n  },\n  \"version\": \"v0\",\n"
             "  \"explicit\": true\n}\n";
}

QByteArray steamLibraries(const QByteArray &entries)
{
    return "\"libraryfolders\"\n{\n" + entries + "}\n";
}

struct Layout
{
    const char *manager;
    std::function<QString(Home &)> build; // answers the prefix it made
};

const Layout layouts[] = {
    {"WINEPREFIX", [](Home &h) { h.places().winePrefix = h.path("custom"); return h.prefix("custom"); }},
    {"~/.wine", [](Home &h) { return h.prefix(".wine"); }},
    {"winetricks", [](Home &h) { return h.prefix(".local/share/wineprefixes/cfs3"); }},
    {"Lutris game configuration", [](Home &h) {
         h.file(".config/lutris/games/cfs3-1700000000.yml", lutrisGame(h.path("wine/cfs3").toUtf8()));
         return h.prefix("wine/cfs3");
     }},
    {"Lutris configuration in the data folder, prefix under ~", [](Home &h) {
         h.file(".local/share/lutris/games/cfs3.yml", lutrisGame("~/wine/cfs3"));
         return h.prefix("wine/cfs3");
     }},
    {"Lutris chosen games folder", [](Home &h) {
         h.file(".config/lutris/system.yml", "system:\n  game_path: " + h.path("Spiele").toUtf8() + "\n");
         return h.prefix("Spiele/cfs3");
     }},
    {"Lutris default games folder", [](Home &h) { return h.prefix("Games/combat-flight-simulator-3"); }},
    {"Lutris Flatpak", [](Home &h) {
         h.file(".var/app/net.lutris.Lutris/config/lutris/games/cfs3.yml", lutrisGame(h.path("wine/cfs3").toUtf8()));
         return h.prefix("wine/cfs3");
     }},
    {"Heroic game settings", [](Home &h) {
         h.file(".config/heroic/GamesConfig/Cfs3Gog.json", heroicGame(h.path("heroic-wine/cfs3").toUtf8()));
         return h.prefix("heroic-wine/cfs3");
     }},
    {"Heroic game settings, Proton prefix under ~", [](Home &h) {
         h.file(".config/heroic/GamesConfig/Cfs3Proton.json", heroicGame("~/proton/cfs3"));
         return h.prefix("proton/cfs3/pfx");
     }},
    {"Heroic Flatpak game settings", [](Home &h) {
         h.file(".var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig/a.json",
                heroicGame(h.path("flat/cfs3").toUtf8()));
         return h.prefix("flat/cfs3");
     }},
    {"Heroic chosen prefix folder", [](Home &h) {
         h.file(".config/heroic/config.json",
                "{\"defaultSettings\": {\"defaultWinePrefix\": \"" + h.path("Prefixes").toUtf8() + "\"}}");
         return h.prefix("Prefixes/Combat Flight Simulator 3");
     }},
    {"Heroic default prefix folder", [](Home &h) { return h.prefix("Games/Heroic/Prefixes/default/CFS3"); }},
    {"Heroic older default prefix folder", [](Home &h) { return h.prefix("Games/Heroic/Prefixes/CFS3"); }},
    {"Bottles", [](Home &h) { return h.prefix(".local/share/bottles/bottles/CFS3"); }},
    {"Bottles Flatpak", [](Home &h) { return h.prefix(".var/app/com.usebottles.bottles/data/bottles/bottles/CFS3"); }},
    {"PlayOnLinux", [](Home &h) { return h.prefix(".PlayOnLinux/wineprefix/CFS3"); }},
    {"CrossOver", [](Home &h) { return h.prefix(".cxoffice/CFS3"); }},
    {"Steam, its own library", [](Home &h) { return h.prefix(".local/share/Steam/steamapps/compatdata/2147483648/pfx"); }},
    {"Steam, a second library", [](Home &h) {
         h.file(".local/share/Steam/steamapps/libraryfolders.vdf",
                steamLibraries("\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + h.path(".local/share/Steam").toUtf8()
                               + "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + h.path("ssd/SteamLibrary").toUtf8()
                               + "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"1\"\n\t\t}\n\t}\n"));
         return h.prefix("ssd/SteamLibrary/steamapps/compatdata/2147483649/pfx");
     }},
    {"Steam through ~/.steam/steam, old list form", [](Home &h) {
         QDir().mkpath(h.path("opt/Steam"));
         QDir().mkpath(h.path(".steam"));
         QFile::link(h.path("opt/Steam"), h.path(".steam/steam"));
         h.file("opt/Steam/steamapps/libraryfolders.vdf",
                steamLibraries("\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n\t\"1\"\t\t\"" + h.path("hdd/Steam").toUtf8() + "\"\n"));
         return h.prefix("hdd/Steam/steamapps/compatdata/2147483650/pfx");
     }},
};

} // namespace

class WinePrefixSearchTest : public QObject
{
    Q_OBJECT

private slots:
    void eachManagersLayoutIsFound_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(layouts)); ++i)
            QTest::newRow(layouts[i].manager) << i;
    }
    void eachManagersLayoutIsFound()
    {
        QFETCH(int, index);
        Home home;
        const QString prefix = layouts[index].build(home);
        QCOMPARE(winePrefixesToSearch(home.places()), QStringList{prefix});
    }

    void managersAreSearchedInTheDocumentedOrderEachPrefixOnce()
    {
        Home home;
        QStringList expected;
        for (const Layout &layout : layouts) {
            const QString prefix = layout.build(home);
            if (!expected.contains(prefix))
                expected << prefix;
        }
        // The same prefixes reached a second way are not tried twice.
        home.file(".local/share/lutris/games/again.yml", lutrisGame(home.path(".wine").toUtf8()));
        QDir().mkpath(home.path(".steam"));
        QFile::link(home.path(".local/share/Steam"), home.path(".steam/root"));
        QCOMPARE(winePrefixesToSearch(home.places()), expected);
    }

    void brokenFilesOfTheManagersArePassedOver()
    {
        Home home;
        const QString good = home.prefix(".PlayOnLinux/wineprefix/CFS3");
        home.file(".config/lutris/games/a-unclosed.yml", "game: [prefix: /x\n");
        home.file(".config/lutris/games/b-scalar.yml", "just some text\n");
        home.file(".config/lutris/games/c-list.yml", "game:\n  prefix:\n    - " + home.path("listed").toUtf8() + "\n");
        home.file(".config/lutris/games/d-binary.yml", QByteArray("\x00\xff\xfe\x01game:", 9));
        home.file(".config/lutris/games/e-missing.yml", lutrisGame(home.path("gone").toUtf8()));
        home.file(".config/lutris/games/f-huge.yml", lutrisGame(home.path("huge").toUtf8()) + QByteArray(2 << 20, '#'));
        home.prefix("huge");
        home.prefix("listed");
        home.fifo(".config/lutris/games/g-fifo.yml");
        home.fifo(".config/lutris/system.yml");
        home.file(".local/share/lutris/system.yml", "system: [");
        home.file(".config/heroic/GamesConfig/a-broken.json", "{\"x\": {\"winePrefix\": ");
        home.file(".config/heroic/GamesConfig/b-array.json", "[{\"winePrefix\": \"" + home.path("listed").toUtf8() + "\"}]");
        home.file(".config/heroic/GamesConfig/c-number.json", "{\"x\": {\"winePrefix\": 7}}");
        home.file(".config/heroic/GamesConfig/d-huge.json", heroicGame(home.path("huge").toUtf8()) + QByteArray(2 << 20, ' '));
        home.fifo(".config/heroic/GamesConfig/e-fifo.json");
        home.fifo(".config/heroic/config.json");
        QDir().mkpath(home.path(".cxoffice"));
        QFile::link(home.path(".cxoffice"), home.path(".cxoffice/loop"));
        home.fifo(".local/share/wineprefixes/fifo");
        QDir().mkpath(home.path("Games/not-a-prefix/drive_c"));
        home.fifo(".local/share/bottles/bottles/fifo/system.reg");
        QDir().mkpath(home.path(".wine/system.reg")); // a folder by that name
        home.file(".local/share/Steam/steamapps/libraryfolders.vdf", "\"libraryfolders\"\n{\n\t\"1\"\n\t{\n\t\t\"path\"");
        home.fifo(".local/share/Steam/config/libraryfolders.vdf");
        QDir().mkpath(home.path(".steam"));
        QFile::link(home.path("nowhere"), home.path(".steam/steam"));
        QCOMPARE(winePrefixesToSearch(home.places()), QStringList{good});
    }

    void steamLibraryListsInEveryForm_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("folders");
        QTest::newRow("current form, nested blocks skipped")
            << QByteArray("\"libraryfolders\"\n{\n\"0\"\n{\n\"path\" \"/a\"\n\"apps\" { \"1\" \"2\" }\n}\n\"1\" { \"label\" \"\" \"path\" \"/b\" }\n}\n")
            << QStringList{"/a", "/b"};
        QTest::newRow("old form beside other keys")
            << QByteArray("\"LibraryFolders\"\n{\n\"TimeNextStatsReport\" \"17\"\n\"ContentStatsID\" \"-1\"\n\"1\" \"/c\"\n\"2\" \"/d\"\n}\n")
            << QStringList{"/c", "/d"};
        QTest::newRow("comments, escapes and bare words")
            << QByteArray("// written by Steam\nlibraryfolders {\n 0 { path \"/e \\\"quoted\\\"\\\\x\" } // note\n}\n")
            << QStringList{"/e \"quoted\"\\x"};
        QTest::newRow("cut off after the first library")
            << QByteArray("\"libraryfolders\" { \"0\" { \"path\" \"/f\" } \"1\" { \"path\" \"/g")
            << QStringList{"/f", "/g"};
        QTest::newRow("another file") << QByteArray("\"config\" { \"0\" { \"path\" \"/h\" } }") << QStringList{};
        QTest::newRow("empty") << QByteArray() << QStringList{};
        QTest::newRow("only braces") << QByteArray("{{{{}}}}") << QStringList{};
        QTest::newRow("deep nesting") << QByteArray("libraryfolders { 0 { a " + QByteArray(10000, '{') + " } }")
                                      << QStringList{};
    }
    void steamLibraryListsInEveryForm()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, folders);
        QCOMPARE(steamLibraryFoldersIn(text), folders);
    }

    // What the program does at its first start on a player's machine.
    void gameFoundInTheFirstPrefixWhoseFolderStillExists()
    {
        Home home;
        home.prefix(".wine", false); // the game was deleted from the default prefix
        home.file(".config/lutris/games/cfs3.yml", lutrisGame(home.path("Games/cfs3").toUtf8()));
        const QString lutris = home.prefix("Games/cfs3");
        home.prefix(".local/share/bottles/bottles/CFS3");

        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path(".")));
        qunsetenv("WINEPREFIX");
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        const QString found = readGameInstallFolder();
        qputenv("HOME", savedHome);
        QCOMPARE(found, QFileInfo(lutris + "/drive_c").canonicalFilePath() + "/Games/CFS3");
    }
};

QTEST_GUILESS_MAIN(WinePrefixSearchTest)
#include "tst_WinePrefixSearch.moc"
