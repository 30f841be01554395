// Stands in for Notepad: writes what follows the program's own name on its
// command line to the file named by CORVANE_NOTEPAD_LOG, in UTF-16.
#include <windows.h>

#include <string>

int wmain()
{
    const wchar_t *line = GetCommandLineW();
    // Skip the program's own name, quoted or not, then the blanks after it.
    if (*line == L'"') {
        ++line;
        while (*line && *line != L'"')
            ++line;
        if (*line)
            ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t')
            ++line;
    }
    while (*line == L' ' || *line == L'\t')
        ++line;

    wchar_t log[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"CORVANE_NOTEPAD_LOG", log, MAX_PATH))
        return 1;
    // Written to a side name and moved in place, so the test never reads half.
    const std::wstring partial = std::wstring(log) + L".part";
    const HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, line, DWORD(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return MoveFileW(partial.c_str(), log) ? 0 : 1;
}
