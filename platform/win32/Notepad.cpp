#include "Notepad.h"

#include <shellapi.h>

namespace corvane::win32 {

bool startNotepad(HWND owner, const std::wstring &filePath)
{
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", L"notepad", filePath.c_str(), nullptr, SW_SHOW));
    return result > 32;
}

} // namespace corvane::win32
