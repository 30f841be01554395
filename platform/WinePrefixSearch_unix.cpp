#include "WinePrefixSearch.h"

#include "HeroicConfig.h"
#include "LutrisConfig.h"
#include "SteamLibraries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

// Configuration files of other programs are small; anything larger is not
// one, and a FIFO or device under that name must not stall the start.
constexpr qint64 MaxConfigBytes = 1024 * 1024;

QByteArray readConfigFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxConfigBytes)
        return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(MaxConfigBytes);
}

QStringList entriesOf(const QString &folder, QDir::Filters filters, const QStringList &nameFilters = {})
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(nameFilters, filters | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

QString expandHome(const QString &path, const QString &home)
{
    if (path == QLatin1String("~"))
        return home;
    if (path.startsWith(QLatin1String("~/")))
        return home + path.mid(1);
    return path;
}

class PrefixList
{
public:
    void add(const QString &folder)
    {
        if (folder.isEmpty() || !QFileInfo(folder + QStringLiteral("/system.reg")).isFile())
            return;
        const QString identity = QFileInfo(folder).canonicalFilePath();
        if (m_seen.contains(identity))
            return;
        m_seen.insert(identity);
        m_prefixes << folder;
    }

    void addEach(const QStringList &folders)
    {
        for (const QString &folder : folders)
            add(folder);
    }

    QStringList prefixes() const { return m_prefixes; }

private:
    QStringList m_prefixes;
    QSet<QString> m_seen;
};

// Lutris keeps its files under XDG folders, or inside its Flatpak sandbox.
QStringList lutrisFolders(const WinePrefixPlaces &places)
{
    const QString flatpak = places.home + QStringLiteral("/.var/app/net.lutris.Lutris");
    return {places.configHome + QStringLiteral("/lutris"), places.dataHome + QStringLiteral("/lutris"),
            flatpak + QStringLiteral("/config/lutris"), flatpak + QStringLiteral("/data/lutris")};
}

void addLutris(PrefixList &list, const WinePrefixPlaces &places)
{
    const QStringList folders = lutrisFolders(places);
    for (const QString &folder : folders) {
        const QStringList games = entriesOf(folder + QStringLiteral("/games"), QDir::Files,
                                            {QStringLiteral("*.yml"), QStringLiteral("*.yaml")});
        for (const QString &game : games)
            list.add(expandHome(lutrisGamePrefix(readConfigFile(game)), places.home));
    }

    // A game installed by a Lutris installer script has its own prefix
    // inside the games folder, whether or not a configuration still names it.
    QStringList gamesFolders;
    for (const QString &folder : folders) {
        const QString chosen = lutrisGamesFolder(readConfigFile(folder + QStringLiteral("/system.yml")));
        if (!chosen.isEmpty())
            gamesFolders << expandHome(chosen, places.home);
    }
    gamesFolders << places.home + QStringLiteral("/Games");
    gamesFolders.removeDuplicates();
    for (const QString &gamesFolder : gamesFolders)
        list.addEach(entriesOf(gamesFolder, QDir::Dirs));
}

// Proton keeps the prefix one level down; plain Wine uses the folder itself.
void addWineOrProton(PrefixList &list, const QString &folder)
{
    list.add(folder);
    list.add(folder + QStringLiteral("/pfx"));
}

// Heroic names each game's prefix in its game settings, and makes new ones
// in a folder of its own (Prefixes/default/<game> today, Prefixes/<game>
// before).
void addHeroic(PrefixList &list, const WinePrefixPlaces &places)
{
    const QStringList configs = {places.configHome + QStringLiteral("/heroic"),
                                 places.home + QStringLiteral("/.var/app/com.heroicgameslauncher.hgl/config/heroic")};
    QStringList prefixFolders;
    for (const QString &config : configs) {
        for (const QString &game : entriesOf(config + QStringLiteral("/GamesConfig"), QDir::Files, {QStringLiteral("*.json")})) {
            for (const QString &prefix : heroicGamePrefixes(readConfigFile(game)))
                addWineOrProton(list, expandHome(prefix, places.home));
        }
        const QString chosen = heroicDefaultPrefixFolder(readConfigFile(config + QStringLiteral("/config.json")));
        if (!chosen.isEmpty())
            prefixFolders << expandHome(chosen, places.home);
    }
    const QString heroicGames = places.home + QStringLiteral("/Games/Heroic/Prefixes");
    prefixFolders << heroicGames + QStringLiteral("/default") << heroicGames;
    prefixFolders.removeDuplicates();
    for (const QString &folder : std::as_const(prefixFolders)) {
        for (const QString &prefix : entriesOf(folder, QDir::Dirs))
            addWineOrProton(list, prefix);
    }
}

// winetricks makes a prefix per program in its own folder.
void addWinetricks(PrefixList &list, const WinePrefixPlaces &places)
{
    list.addEach(entriesOf(places.dataHome + QStringLiteral("/wineprefixes"), QDir::Dirs));
}

void addCrossOver(PrefixList &list, const WinePrefixPlaces &places)
{
    list.addEach(entriesOf(places.home + QStringLiteral("/.cxoffice"), QDir::Dirs));
}

void addBottles(PrefixList &list, const WinePrefixPlaces &places)
{
    list.addEach(entriesOf(places.dataHome + QStringLiteral("/bottles/bottles"), QDir::Dirs));
    list.addEach(entriesOf(places.home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles/bottles"),
                           QDir::Dirs));
}

void addPlayOnLinux(PrefixList &list, const WinePrefixPlaces &places)
{
    list.addEach(entriesOf(places.home + QStringLiteral("/.PlayOnLinux/wineprefix"), QDir::Dirs));
}

QStringList steamLibraries(const WinePrefixPlaces &places)
{
    const QString flatpak = places.home + QStringLiteral("/.var/app/com.valvesoftware.Steam");
    // ~/.steam/steam and ~/.steam/root are normally links to the first.
    const QStringList roots = {places.dataHome + QStringLiteral("/Steam"), places.home + QStringLiteral("/.steam/steam"),
                               places.home + QStringLiteral("/.steam/root"), flatpak + QStringLiteral("/.local/share/Steam"),
                               flatpak + QStringLiteral("/data/Steam")};
    QStringList libraries;
    QSet<QString> seen;
    const auto addLibrary = [&](const QString &folder) {
        const QString identity = QFileInfo(folder).canonicalFilePath();
        if (!identity.isEmpty() && !seen.contains(identity)) {
            seen.insert(identity);
            libraries << folder;
        }
    };
    for (const QString &root : roots) {
        addLibrary(root);
        for (const QString &listFile : {QStringLiteral("/steamapps/libraryfolders.vdf"), QStringLiteral("/config/libraryfolders.vdf")}) {
            for (const QString &library : steamLibraryFoldersIn(readConfigFile(root + listFile)))
                addLibrary(library);
        }
    }
    return libraries;
}

void addSteam(PrefixList &list, const WinePrefixPlaces &places)
{
    for (const QString &library : steamLibraries(places)) {
        for (const QString &game : entriesOf(library + QStringLiteral("/steamapps/compatdata"), QDir::Dirs))
            list.add(game + QStringLiteral("/pfx"));
    }
}

QString xdgFolder(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    // Relative values are invalid by the XDG rules and ignored.
    return QDir::isAbsolutePath(value) ? value : fallback;
}

} // namespace

WinePrefixPlaces WinePrefixPlaces::fromEnvironment()
{
    WinePrefixPlaces places;
    places.winePrefix = qEnvironmentVariable("WINEPREFIX");
    places.home = QDir::homePath();
    places.configHome = xdgFolder("XDG_CONFIG_HOME", places.home + QStringLiteral("/.config"));
    places.dataHome = xdgFolder("XDG_DATA_HOME", places.home + QStringLiteral("/.local/share"));
    return places;
}

QStringList winePrefixesToSearch(const WinePrefixPlaces &places)
{
    PrefixList list;
    list.add(places.winePrefix);
    list.add(places.home + QStringLiteral("/.wine"));
    addWinetricks(list, places);
    addLutris(list, places);
    addHeroic(list, places);
    addBottles(list, places);
    addPlayOnLinux(list, places);
    addCrossOver(list, places);
    addSteam(list, places);
    return list.prefixes();
}
