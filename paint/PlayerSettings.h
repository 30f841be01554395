#pragma once

#include "GameLocation.h"
#include "PaintResult.h"

#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

class SettingsStore;

// Corvane's own settings, read and written the same way by the window and
// the command line: the program's path, the main window's position and the
// game folder ("CFSPath"), in one section of the player's settings store.
// A damaged or refused value never stops the program: it is handed to the
// problem handler in the one result form, and the default carries on.
class PlayerSettings
{
public:
    using ProblemHandler = std::function<void(const PaintResult &)>;

    static constexpr int defaultPosition = 40;

    PlayerSettings(std::unique_ptr<SettingsStore> store, const QString &section,
                   ProblemHandler onProblem = {});
    ~PlayerSettings();

    void setProblemHandler(ProblemHandler onProblem) { m_onProblem = std::move(onProblem); }

    PaintResult recordProgram(const QString &programPath);

    // Left and top as stored, each 40 when missing or unreadable.
    QPoint windowPosition();

    // The stored game folder, else the game's own registry entry; with its
    // trailing separator. What was stored is remembered for saveOnClose.
    GameLocation::Origin locateGame(const std::function<GameInstallEntry()> &readRegistry);

    // Written at once, so that a second window or the command line started
    // now finds the game there too.
    PaintResult saveGameFolder(const QString &gameFolder);

    // The window's position, and the game folder unless another window chose
    // one since this one last read or wrote it: then this one's is stale.
    PaintResult saveOnClose(const QPoint &position, const QString &gameFolder);

    // The collection window's size and the widths either side of its
    // splitter; zero where nothing (or nothing readable) is stored.
    struct CollectionLayout
    {
        int width = 0;
        int height = 0;
        int listWidth = 0;
        int paintsWidth = 0;
    };
    CollectionLayout collectionLayout();
    PaintResult saveCollectionLayout(const CollectionLayout &layout);

private:
    // Hands a failure to the problem handler; the result as it came.
    PaintResult told(const PaintResult &result);

    std::unique_ptr<SettingsStore> m_store;
    QString m_section;
    ProblemHandler m_onProblem;
    QString m_storedGameFolder;
};
