#pragma once

#include "Outcome.h"

#include <windows.h>

#include <optional>
#include <string>

namespace corvane::win32 {

// What a settings read found: nothing (no key or no value), the text, or a
// value of a type that is not text.
struct RegistryRead {
    std::optional<std::wstring> text;
    Outcome outcome;
};

// Reads a text value of root\keyPath. REG_EXPAND_SZ is taken as stored,
// unexpanded; any other type than the two text types fails with "Invalid data
// type for '<name>'", and a value the registry refuses to give with "Cannot
// read '<name>': " and the system's reason. view is 0 or one of the KEY_WOW64_*
// flags.
RegistryRead readRegistryText(HKEY root, const std::wstring &keyPath,
                              const std::wstring &valueName, REGSAM view = 0);

// What a query of a value's data answered, as readRegistryText reports it.
Outcome judgeRegistryQuery(LONG status, DWORD type, const std::wstring &valueName);

// Writes a REG_SZ value, creating root\keyPath (with its parents) on the way.
// Fails with "Failed to create key <keyPath>" or "Failed to set data for
// '<name>'".
Outcome writeRegistryText(HKEY root, const std::wstring &keyPath,
                          const std::wstring &valueName, const std::wstring &text);

// Creates root\keyPath when it is missing.
Outcome ensureRegistryKey(HKEY root, const std::wstring &keyPath);

inline constexpr wchar_t InvalidDataType[] = L"Invalid data type for '%s'";
inline constexpr wchar_t CannotRead[] = L"Cannot read '%s': ";
inline constexpr wchar_t FailedToSetData[] = L"Failed to set data for '%s'";
inline constexpr wchar_t FailedToCreateKey[] = L"Failed to create key %s";

} // namespace corvane::win32
