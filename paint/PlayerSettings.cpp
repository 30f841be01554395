#include "PlayerSettings.h"

#include <tuple>

#include "SettingsStore.h"

namespace {
const QString keyTop = QStringLiteral("Top");
const QString keyLeft = QStringLiteral("Left");
const QString keyGamePath = QStringLiteral("CFSPath");
const QString keyProgram = QStringLiteral("Program");
const QString keyCollectionWidth = QStringLiteral("CollectionWidth");
const QString keyCollectionHeight = QStringLiteral("CollectionHeight");
const QString keyCollectionList = QStringLiteral("CollectionListWidth");
const QString keyCollectionPaints = QStringLiteral("CollectionPaintsWidth");
} // namespace

PlayerSettings::PlayerSettings(std::unique_ptr<SettingsStore> store, const QString &section,
                               ProblemHandler onProblem)
    : m_store(std::move(store))
    , m_section(section)
    , m_onProblem(std::move(onProblem))
{
}

PlayerSettings::~PlayerSettings() = default;

PaintResult PlayerSettings::told(const PaintResult &result)
{
    if (!result && m_onProblem)
        m_onProblem(result);
    return result;
}

PaintResult PlayerSettings::recordProgram(const QString &programPath)
{
    return told(m_store->writeText(m_section, keyProgram, programPath));
}

QPoint PlayerSettings::windowPosition()
{
    auto read = [this](const QString &name) {
        int value = defaultPosition;
        if (!told(m_store->readInteger(m_section, name, value)))
            return defaultPosition;
        return value;
    };
    const int top = read(keyTop);
    const int left = read(keyLeft);
    return {left, top};
}

GameLocation::Origin PlayerSettings::locateGame(const std::function<GameInstallEntry()> &readRegistry)
{
    bool readable = true;
    const GameLocation::Origin origin = GameLocation::locate(*m_store, m_section, readRegistry,
                                                             [this, &readable](const PaintResult &problem) {
                                                                 readable = false;
                                                                 told(problem);
                                                             });
    // Compared at close as stored, before the separator was added.
    m_storedGameFolder.clear();
    if (readable) {
        QString stored;
        if (m_store->readText(m_section, keyGamePath, stored))
            m_storedGameFolder = stored;
    }
    return origin;
}

PaintResult PlayerSettings::saveGameFolder(const QString &gameFolder)
{
    const PaintResult written = told(m_store->writeText(m_section, keyGamePath, gameFolder));
    if (written)
        m_storedGameFolder = gameFolder;
    return written;
}

PaintResult PlayerSettings::saveOnClose(const QPoint &position, const QString &gameFolder)
{
    PaintResult written = m_store->writeInteger(m_section, keyTop, position.y());
    if (written)
        written = m_store->writeInteger(m_section, keyLeft, position.x());
    QString stored;
    if (written)
        written = m_store->readText(m_section, keyGamePath, stored);
    if (written && stored == m_storedGameFolder) {
        written = m_store->writeText(m_section, keyGamePath, gameFolder);
        if (written)
            m_storedGameFolder = gameFolder;
    }
    return told(written);
}

PlayerSettings::CollectionLayout PlayerSettings::collectionLayout()
{
    CollectionLayout layout;
    const bool readable = m_store->readInteger(m_section, keyCollectionWidth, layout.width)
                          && m_store->readInteger(m_section, keyCollectionHeight, layout.height)
                          && m_store->readInteger(m_section, keyCollectionList, layout.listWidth)
                          && m_store->readInteger(m_section, keyCollectionPaints, layout.paintsWidth);
    // The window's laid-out size will do; nothing the player must act on.
    return readable ? layout : CollectionLayout{};
}

PaintResult PlayerSettings::saveCollectionLayout(const CollectionLayout &layout)
{
    // Each write replaces the whole file on the disk, and the window saves
    // its layout after every resize, its first showing too: only what
    // changed is written.
    const CollectionLayout stored = collectionLayout();
    PaintResult written = PaintResult::success();
    for (const auto &[name, now, before] :
         {std::tuple{keyCollectionWidth, layout.width, stored.width},
          std::tuple{keyCollectionHeight, layout.height, stored.height},
          std::tuple{keyCollectionList, layout.listWidth, stored.listWidth},
          std::tuple{keyCollectionPaints, layout.paintsWidth, stored.paintsWidth}}) {
        if (written && now != before)
            written = m_store->writeInteger(m_section, name, now);
    }
    return written;
}
