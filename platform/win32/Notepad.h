#pragma once

#include <windows.h>

#include <string>

namespace corvane::win32 {

// Starts Notepad on filePath through the shell and returns at once. The path
// goes unquoted: Notepad takes the rest of its command line as one file name.
// False when the shell could not start it.
bool startNotepad(HWND owner, const std::wstring &filePath);

} // namespace corvane::win32
