#include "ShellOpen.h"

#include <QDir>
#include <QWidget>

#include "ShellLink.h"

#include <shellapi.h>

namespace corvane::platform {

namespace {

HWND ownerWindow(QWidget *window)
{
    return window ? reinterpret_cast<HWND>(window->window()->winId()) : nullptr;
}

} // namespace

bool isShortcut(const QString &, const QString &upperExtension)
{
    return upperExtension == QLatin1String(".LNK");
}

std::optional<ShortcutTarget> resolveShortcut(const QString &fileName, QWidget *window)
{
    const auto target = corvane::win32::resolveShellLink(
        ownerWindow(window), QDir::toNativeSeparators(fileName).toStdWString());
    if (!target)
        return std::nullopt;
    return ShortcutTarget{QString::fromStdWString(target->path), QString::fromStdWString(target->folder)};
}

void startFile(const QString &fileName, const QString &folder, QWidget *window)
{
    const std::wstring file = QDir::toNativeSeparators(fileName).toStdWString();
    const std::wstring directory = QDir::toNativeSeparators(folder).toStdWString();
    ShellExecuteW(ownerWindow(window), L"open", file.c_str(), nullptr,
                  directory.empty() ? nullptr : directory.c_str(), SW_SHOWNORMAL);
}

} // namespace corvane::platform
