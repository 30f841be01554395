#include "FileVersion.h"

#include "VersionResource.h"

#include <QDir>

namespace corvane::platform {

namespace {

std::optional<ProductVersion> productVersion(const std::wstring &name)
{
    const auto words = corvane::win32::readProductVersion(name);
    if (!words)
        return std::nullopt;
    return ProductVersion{words->mostSignificant, words->leastSignificant};
}

} // namespace

std::optional<ProductVersion> fileProductVersion(const QString &path)
{
    return productVersion(QDir::toNativeSeparators(path).toStdWString());
}

std::optional<ProductVersion> libraryProductVersion(const QString &libraryName)
{
    return productVersion(libraryName.toStdWString());
}

} // namespace corvane::platform
