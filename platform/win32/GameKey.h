#pragma once

#include <string>

namespace corvane::win32 {

// The game's install folder as its installer recorded it ("EXE Path"), empty
// when there is none. The installer is a 32-bit program, so its key is read
// through the 32-bit view of the registry (Wow6432Node on 64-bit Windows).
std::wstring readGameExePath();

inline constexpr wchar_t GameKeyPath[] = L"Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator\\3.0";
inline constexpr wchar_t GameExePathValue[] = L"EXE Path";

} // namespace corvane::win32
