#include "VersionResource.h"

#include <vector>

namespace corvane::win32 {

std::optional<VersionWords> readProductVersion(const std::wstring &path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return std::nullopt;
    // Sized from the file rather than a fixed buffer, so a large resource is
    // read whole instead of cut short.
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return std::nullopt;

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &fixedSize)
        || fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return VersionWords{fixed->dwProductVersionMS, fixed->dwProductVersionLS};
}

} // namespace corvane::win32
