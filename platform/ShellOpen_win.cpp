#include "ShellOpen.h"

#include <QDir>
#include <QWidget>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

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
    wchar_t targetPath[MAX_PATH] = {};
    wchar_t targetFolder[MAX_PATH] = {};

    const HRESULT init = CoInitialize(nullptr);
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void **>(&link));
    if (SUCCEEDED(result))
        result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file));
    if (SUCCEEDED(result)) {
        const std::wstring name = QDir::toNativeSeparators(fileName).toStdWString();
        result = file->Load(name.c_str(), STGM_READ);
    }
    if (SUCCEEDED(result))
        result = link->Resolve(ownerWindow(window), SLR_ANY_MATCH);
    if (SUCCEEDED(result)) {
        WIN32_FIND_DATAW unused = {};
        result = link->GetPath(targetPath, MAX_PATH, &unused, SLGP_SHORTPATH);
    }
    if (SUCCEEDED(result))
        result = link->GetWorkingDirectory(targetFolder, MAX_PATH);

    if (file)
        file->Release();
    if (link)
        link->Release();
    if (SUCCEEDED(init))
        CoUninitialize();

    if (FAILED(result))
        return std::nullopt;
    return ShortcutTarget{QString::fromWCharArray(targetPath), QString::fromWCharArray(targetFolder)};
}

void startFile(const QString &fileName, const QString &folder, QWidget *window)
{
    const std::wstring file = QDir::toNativeSeparators(fileName).toStdWString();
    const std::wstring directory = QDir::toNativeSeparators(folder).toStdWString();
    ShellExecuteW(ownerWindow(window), L"open", file.c_str(), nullptr,
                  directory.empty() ? nullptr : directory.c_str(), SW_SHOWNORMAL);
}

} // namespace corvane::platform
