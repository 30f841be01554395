#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace corvane::win32 {

// The product version words of a version resource's fixed block.
struct VersionWords {
    DWORD mostSignificant = 0;
    DWORD leastSignificant = 0;
};

// The product version of the file at path; a bare file name is looked for
// the way the loader looks for a library loaded by name. Empty when there is
// no such file or it has no version resource.
std::optional<VersionWords> readProductVersion(const std::wstring &path);

} // namespace corvane::win32
