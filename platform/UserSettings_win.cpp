#include "UserSettings.h"

#include "RegistrySettingsStore.h"

std::unique_ptr<SettingsStore> openUserSettings()
{
    return std::make_unique<RegistrySettingsStore>(QStringLiteral("Software\\Ostrel"));
}
