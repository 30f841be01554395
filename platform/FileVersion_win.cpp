#include "FileVersion.h"

#include <QDir>

#include <windows.h>

#include <vector>

namespace corvane::platform {

namespace {

std::optional<ProductVersion> readVersionResource(const std::wstring &name)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &ignored);
    if (size == 0)
        return std::nullopt;
    // Sized from the file rather than a fixed buffer, so a large resource
    // is read whole instead of cut short.
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(name.c_str(), 0, size, block.data()))
        return std::nullopt;

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &fixedSize)
        || fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return ProductVersion{fixed->dwProductVersionMS, fixed->dwProductVersionLS};
}

} // namespace

std::optional<ProductVersion> fileProductVersion(const QString &path)
{
    return readVersionResource(QDir::toNativeSeparators(path).toStdWString());
}

// A bare name makes the version functions search the way LoadLibrary does:
// the program's folder, the system folders, then PATH.
std::optional<ProductVersion> libraryProductVersion(const QString &libraryName)
{
    return readVersionResource(libraryName.toStdWString());
}

} // namespace corvane::platform
