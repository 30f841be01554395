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

PaintResult PlayerSettings::told(const QString &reason)
{
    // The store's reason names its file or key already.
    const PaintResult problem = PaintResult::failure(QString(), reason);
    if (m_onProblem)
        m_onProblem(problem);
    return problem;
}

PaintResult PlayerSettings::recordProgram(const QString &programPath)
{
    try {
        m_store->writeText(m_section, keyProgram, programPath);
    } catch (const SettingsError &error) {
        return told(error.message());
    }
    return PaintResult::success();
}

QPoint PlayerSettings::windowPosition()
{
    auto read = [this](const QString &name) {
        try {
            return m_store->readInteger(m_section, name, defaultPosition);
        } catch (const SettingsError &error) {
            told(error.message());
            return defaultPosition;
        }
    };
    const int top = read(keyTop);
    const int left = read(keyLeft);
    return {left, top};
}

GameLocation::Origin PlayerSettings::locateGame(const std::function<GameInstallEntry()> &readRegistry)
{
    bool readable = true;
    const GameLocation::Origin origin = GameLocation::locate(*m_store, m_section, readRegistry,
                                                             [this, &readable](const QString &problem) {
                                                                 readable = false;
                                                                 told(problem);
                                                             });
    // Compared at close as stored, before the separator was added.
    m_storedGameFolder.clear();
    if (readable) {
        try {
            m_storedGameFolder = m_store->readText(m_section, keyGamePath, QString());
        } catch (const SettingsError &) {
        }
    }
    return origin;
}

PaintResult PlayerSettings::saveGameFolder(const QString &gameFolder)
{
    try {
        m_store->writeText(m_section, keyGamePath, gameFolder);
    } catch (const SettingsError &error) {
        return told(error.message());
    }
    m_storedGameFolder = gameFolder;
    return PaintResult::success();
}

PaintResult PlayerSettings::saveOnClose(const QPoint &position, const QString &gameFolder)
{
    try {
        m_store->writeInteger(m_section, keyTop, position.y());
        m_store->writeInteger(m_section, keyLeft, position.x());
        if (m_store->readText(m_section, keyGamePath, QString()) == m_storedGameFolder) {
            m_store->writeText(m_section, keyGamePath, gameFolder);
            m_storedGameFolder = gameFolder;
        }
    } catch (const SettingsError &error) {
        return told(error.message());
    }
    return PaintResult::success();
}

PlayerSettings::CollectionLayout PlayerSettings::collectionLayout()
{
    CollectionLayout layout;
    try {
        layout.width = m_store->readInteger(m_section, keyCollectionWidth, 0);
        layout.height = m_store->readInteger(m_section, keyCollectionHeight, 0);
        layout.listWidth = m_store->readInteger(m_section, keyCollectionList, 0);
        layout.paintsWidth = m_store->readInteger(m_section, keyCollectionPaints, 0);
    } catch (const SettingsError &) {
        // The window's laid-out size will do; nothing the player must act on.
        return {};
    }
    return layout;
}

PaintResult PlayerSettings::saveCollectionLayout(const CollectionLayout &layout)
{
    // Each write replaces the whole file on the disk, and the window saves
    // its layout after every resize, its first showing too: only what
    // changed is written.
    const CollectionLayout stored = collectionLayout();
    try {
        for (const auto &[name, now, before] :
             {std::tuple{keyCollectionWidth, layout.width, stored.width},
              std::tuple{keyCollectionHeight, layout.height, stored.height},
              std::tuple{keyCollectionList, layout.listWidth, stored.listWidth},
              std::tuple{keyCollectionPaints, layout.paintsWidth, stored.paintsWidth}}) {
            if (now != before)
                m_store->writeInteger(m_section, name, now);
        }
    } catch (const SettingsError &error) {
        return PaintResult::failure(QString(), error.message());
    }
    return PaintResult::success();
}
