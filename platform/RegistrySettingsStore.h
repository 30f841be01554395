#pragma once

#include "SettingsStore.h"

#include <memory>

// The Windows settings store: one registry key under the current user,
// holding a subkey per section with text values.
class RegistrySettingsStore : public SettingsStore
{
public:
    // Opens HKEY_CURRENT_USER\rootPath, creating it when missing. When it
    // can be neither opened nor created, every value reads as missing and
    // every write fails with that reason.
    explicit RegistrySettingsStore(const QString &rootPath);
    ~RegistrySettingsStore() override;

    PaintResult readText(const QString &section, const QString &name, QString &text) override;
    PaintResult writeText(const QString &section, const QString &name, const QString &text) override;

private:
    struct Root;
    std::unique_ptr<Root> m_root;
};
