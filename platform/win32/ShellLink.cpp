#include "ShellLink.h"

#include <objbase.h>
#include <shlobj.h>

namespace corvane::win32 {

std::optional<ShellLinkTarget> resolveShellLink(HWND owner, const std::wstring &linkPath)
{
    wchar_t targetPath[MAX_PATH] = {};
    wchar_t targetFolder[MAX_PATH] = {};

    const HRESULT init = CoInitialize(nullptr);
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, reinterpret_cast<void **>(&link));
    if (SUCCEEDED(result))
        result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file));
    if (SUCCEEDED(result))
        result = file->Load(linkPath.c_str(), STGM_READ);
    if (SUCCEEDED(result))
        result = link->Resolve(owner, SLR_ANY_MATCH);
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

    // GetPath answers S_FALSE, and no path, for a link to something that is
    // not a file (a printer, a control panel item): nothing to start.
    if (FAILED(result) || targetPath[0] == L'\0')
        return std::nullopt;
    return ShellLinkTarget{targetPath, targetFolder};
}

} // namespace corvane::win32
