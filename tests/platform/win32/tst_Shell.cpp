#include "Check.h"
#include "Notepad.h"
#include "ShellLink.h"

#include <objbase.h>
#include <shlobj.h>

using namespace corvane::win32;

namespace {

const std::wstring cyrillic = L"\u041f\u043e\u043a\u0440\u0430\u0441\u043a\u0438"; // a player's folder name

bool saveShellLink(const std::wstring &linkPath, const std::wstring &target, const std::wstring &folder)
{
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void **>(&link));
    if (SUCCEEDED(result))
        result = link->SetPath(target.c_str());
    if (SUCCEEDED(result))
        result = link->SetWorkingDirectory(folder.c_str());
    if (SUCCEEDED(result))
        result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file));
    if (SUCCEEDED(result))
        result = file->Save(linkPath.c_str(), TRUE);
    if (file)
        file->Release();
    if (link)
        link->Release();
    return SUCCEEDED(result);
}

std::wstring longForm(const std::wstring &path)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD size = GetLongPathNameW(path.c_str(), buffer, MAX_PATH);
    return size > 0 && size < MAX_PATH ? std::wstring(buffer) : path;
}

void shellLinksLeadToTheirTargetAndFolder()
{
    ScratchFolder scratch(L"corvane-links");
    const std::wstring folder = scratch.path + cyrillic + L" and spaces";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring target = folder + L"\\Flight Viewer.exe";
    CHECK(writeFile(target, "MZ"));

    CoInitialize(nullptr);
    const std::wstring linkPath = scratch.path + L"Flight.LNK";
    CHECK(saveShellLink(linkPath, target, folder));
    CoUninitialize();

    const auto resolved = resolveShellLink(nullptr, linkPath);
    if (CHECK(resolved.has_value())) {
        // The path comes in its short form where the file system keeps one;
        // compared in its long form it is the target.
        CHECK_EQ(longForm(resolved->path), target);
        CHECK_EQ(resolved->folder, folder);
    }
    // Resolving leaves no COM state behind on this thread.
    CHECK(resolveShellLink(nullptr, linkPath).has_value());
}

void whatIsNoShellLinkLeadsNowhere()
{
    ScratchFolder scratch(L"corvane-nolinks");
    const std::wstring text = scratch.path + L"notes.lnk";
    CHECK(writeFile(text, "not a shell link"));
    const struct {
        const char *what;
        std::wstring path;
    } cases[] = {
        {"a text file named .lnk", text},
        {"a missing file", scratch.path + L"missing.lnk"},
        {"an empty name", L""},
    };
    for (const auto &c : cases) {
        if (!CHECK(!resolveShellLink(nullptr, c.path).has_value()))
            std::printf("  for %s\n", c.what);
    }
}

std::wstring readWholeFile(const std::wstring &path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return L"<missing>";
    std::wstring text(4096, L'\0');
    DWORD read = 0;
    ReadFile(file, text.data(), DWORD(text.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    text.resize(read / sizeof(wchar_t));
    return text;
}

// The stand-in notepad.exe beside this program, which the shell finds before
// the system's, writes the command line it was given to CORVANE_NOTEPAD_LOG.
void notepadGetsThePathUnquotedAndWhole()
{
    ScratchFolder scratch(L"corvane-notepad");
    const std::wstring log = scratch.path + L"notepad.log";
    SetEnvironmentVariableW(L"CORVANE_NOTEPAD_LOG", log.c_str());
    const std::wstring listFile = scratch.path + cyrillic + L" F4U Corsair\\f4u.pnt";

    CHECK(startNotepad(nullptr, listFile));
    std::wstring seen;
    for (int waited = 0; waited < 200; ++waited) { // the shell does not wait for it
        seen = readWholeFile(log);
        if (seen != L"<missing>" && !seen.empty())
            break;
        Sleep(50);
    }
    CHECK_EQ(seen, listFile);
}

} // namespace

int wmain()
{
    shellLinksLeadToTheirTargetAndFolder();
    whatIsNoShellLinkLeadsNowhere();
    notepadGetsThePathUnquotedAndWhole();
    return check::finish("shell");
}
