#pragma once

#include "SettingsStore.h"

#include <memory>

// The player's own settings store under the maker's root ("Ostrel").
std::unique_ptr<SettingsStore> openUserSettings();
