#include "RegistrySettingsStore.h"

#include "RegistryText.h"

struct RegistrySettingsStore::Root {
    HKEY handle = nullptr;
};

RegistrySettingsStore::RegistrySettingsStore(const QString &rootPath)
    : m_root(std::make_unique<Root>())
{
    const std::wstring path = rootPath.toStdWString();
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &m_root->handle, nullptr) != ERROR_SUCCESS)
        throw SettingsError(QString::fromStdWString(
            corvane::win32::formatMessage(corvane::win32::FailedToCreateKey, path)));
}

RegistrySettingsStore::~RegistrySettingsStore()
{
    RegCloseKey(m_root->handle);
}

QString RegistrySettingsStore::readText(const QString &section, const QString &name,
                                        const QString &fallback)
{
    const auto read = corvane::win32::readRegistryText(m_root->handle, section.toStdWString(),
                                                       name.toStdWString());
    if (!read.outcome.ok)
        throw SettingsError(QString::fromStdWString(read.outcome.error));
    return read.text ? QString::fromStdWString(*read.text) : fallback;
}

void RegistrySettingsStore::writeText(const QString &section, const QString &name,
                                      const QString &text)
{
    const auto written = corvane::win32::writeRegistryText(m_root->handle, section.toStdWString(),
                                                           name.toStdWString(), text.toStdWString());
    if (!written.ok)
        throw SettingsError(QString::fromStdWString(written.error));
}
