#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace corvane::win32 {

struct ShellLinkTarget {
    std::wstring path;   // short (8.3) form where the file system has one
    std::wstring folder; // the link's working folder; may be empty
};

// Follows a shell link (.lnk). The shell may search for a moved target and
// show its own window, owned by owner, while it does. Empty when the link
// cannot be loaded, resolved or read.
std::optional<ShellLinkTarget> resolveShellLink(HWND owner, const std::wstring &linkPath);

} // namespace corvane::win32
