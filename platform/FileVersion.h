#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace corvane::platform {

// A product version as the two 32-bit words of a Windows fixed file
// information block: major.minor in the most significant word, build.revision
// in the least significant one.
struct ProductVersion {
    quint32 mostSignificant = 0;
    quint32 leastSignificant = 0;

    static constexpr ProductVersion fromParts(quint16 major, quint16 minor, quint16 build, quint16 revision)
    {
        return {quint32(major) << 16 | minor, quint32(build) << 16 | revision};
    }
    friend bool operator==(const ProductVersion &, const ProductVersion &) = default;
};

// The product version recorded in the file at path (a full path).
std::optional<ProductVersion> fileProductVersion(const QString &path);

// The product version of a shared library named the Windows way ("korrad.dll"),
// found where the system loader would find it when the library is loaded by
// that name. Empty when there is no such file or it carries no version.
std::optional<ProductVersion> libraryProductVersion(const QString &libraryName);

#ifndef Q_OS_WIN
// Outside Windows a library carries its version in the name of its real file
// (libkorrad.so.1.0.0.2 behind the link libkorrad.so); these are the pieces of
// that lookup.

// "korrad.dll" -> "libkorrad.so"
QString sharedObjectName(const QString &libraryName);

// The folders the loader searches, in its order, after the program's folder.
QStringList loaderSearchFolders();

// The folders listed by an ld.so.conf style file, following its includes.
QStringList foldersFromLoaderConfig(const QString &configFile);

// The first folder holding soName, the links followed to the real file.
// Empty when none holds it.
QString findSharedObject(const QString &soName, const QStringList &folders);

// The version in the name of a real library file: "libkorrad.so.1.0.0.2"
// gives 1.0.0.2, "libfoo.so.3.1" gives 3.1.0.0; a name without numbers after
// ".so." carries no version.
std::optional<ProductVersion> versionFromSharedObjectName(const QString &realFileName);
#endif

} // namespace corvane::platform
