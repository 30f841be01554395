#include "UserSettings.h"

#include "IniSettingsStore.h"

#include <QDir>

std::unique_ptr<SettingsStore> openUserSettings()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty())
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return std::make_unique<IniSettingsStore>(configHome + QStringLiteral("/Ostrel/Ostrel.ini"));
}
