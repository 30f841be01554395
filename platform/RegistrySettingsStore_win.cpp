#include "RegistrySettingsStore.h"

#include "RegistryText.h"

struct RegistrySettingsStore::Root {
    HKEY handle = nullptr;
    PaintResult opened;
};

namespace {
PaintResult resultOf(const corvane::win32::Outcome &outcome)
{
    // The registry's texts name the key or value already.
    return outcome.ok ? PaintResult::success() : PaintResult::failure(QString(), QString::fromStdWString(outcome.error));
}
} // namespace

RegistrySettingsStore::RegistrySettingsStore(const QString &rootPath)
    : m_root(std::make_unique<Root>())
{
    const std::wstring path = rootPath.toStdWString();
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &m_root->handle, nullptr) != ERROR_SUCCESS) {
        m_root->handle = nullptr;
        m_root->opened = PaintResult::failure(QString(), QString::fromStdWString(corvane::win32::formatMessage(
                                                             corvane::win32::FailedToCreateKey, path)));
    }
}

RegistrySettingsStore::~RegistrySettingsStore()
{
    if (m_root->handle)
        RegCloseKey(m_root->handle);
}

PaintResult RegistrySettingsStore::readText(const QString &section, const QString &name, QString &text)
{
    // Nothing could be stored under a root that cannot be created: every
    // value is missing, and the first write says why.
    if (!m_root->opened)
        return PaintResult::success();
    const auto read = corvane::win32::readRegistryText(m_root->handle, section.toStdWString(),
                                                       name.toStdWString());
    if (read.outcome.ok && read.text)
        text = QString::fromStdWString(*read.text);
    return resultOf(read.outcome);
}

PaintResult RegistrySettingsStore::writeText(const QString &section, const QString &name, const QString &text)
{
    if (!m_root->opened)
        return m_root->opened;
    return resultOf(corvane::win32::writeRegistryText(m_root->handle, section.toStdWString(),
                                                      name.toStdWString(), text.toStdWString()));
}
