#include "FileVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace corvane::platform {

namespace {

const char *multiarchTriplet()
{
#if defined(__x86_64__)
    return "x86_64-linux-gnu";
#elif defined(__aarch64__)
    return "aarch64-linux-gnu";
#elif defined(__i386__)
    return "i386-linux-gnu";
#elif defined(__arm__)
    return "arm-linux-gnueabihf";
#else
    return nullptr;
#endif
}

void appendUnique(QStringList &list, const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (!clean.isEmpty() && !list.contains(clean))
        list.append(clean);
}

void readLoaderConfig(const QString &configFile, QStringList &folders, QSet<QString> &visited)
{
    const QString key = QFileInfo(configFile).absoluteFilePath();
    if (visited.contains(key))
        return; // an include loop must not recurse forever
    visited.insert(key);

    QFile file(configFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QString baseFolder = QFileInfo(configFile).absolutePath();
    static const QRegularExpression separators(QStringLiteral("[\\s:,]+"));

    while (!file.atEnd()) {
        QString line = QString::fromLocal8Bit(file.readLine());
        const qsizetype hash = line.indexOf(u'#');
        if (hash >= 0)
            line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty())
            continue;

        if (line.startsWith(QLatin1String("include")) && line.size() > 7 && line.at(7).isSpace()) {
            const QStringList patterns = line.mid(8).split(separators, Qt::SkipEmptyParts);
            for (QString pattern : patterns) {
                if (QDir::isRelativePath(pattern))
                    pattern = baseFolder + u'/' + pattern;
                const QFileInfo patternInfo(pattern);
                const QDir dir(patternInfo.absolutePath());
                const QStringList matches =
                    dir.entryList(QStringList{patternInfo.fileName()}, QDir::Files | QDir::Readable, QDir::Name);
                for (const QString &match : matches)
                    readLoaderConfig(dir.filePath(match), folders, visited);
            }
            continue;
        }
        if (line.startsWith(QLatin1String("hwcap")))
            continue;

        for (QString entry : line.split(separators, Qt::SkipEmptyParts)) {
            const qsizetype equals = entry.indexOf(u'=');
            if (equals >= 0)
                entry.truncate(equals);
            if (entry.startsWith(u'/'))
                appendUnique(folders, entry);
        }
    }
}

} // namespace

QString sharedObjectName(const QString &libraryName)
{
    QString base = libraryName;
    if (base.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive))
        base.chop(4);
    return QStringLiteral("lib") + base + QStringLiteral(".so");
}

QStringList foldersFromLoaderConfig(const QString &configFile)
{
    QStringList folders;
    QSet<QString> visited;
    readLoaderConfig(configFile, folders, visited);
    return folders;
}

QStringList loaderSearchFolders()
{
    QStringList folders;
    // An empty entry would mean the current folder, which the program's
    // folder already covers; skipping it keeps a stray ':' harmless.
    const QString fromEnvironment = qEnvironmentVariable("LD_LIBRARY_PATH");
    for (const QString &folder : fromEnvironment.split(u':', Qt::SkipEmptyParts))
        appendUnique(folders, folder);

    for (const QString &folder : foldersFromLoaderConfig(QStringLiteral("/etc/ld.so.conf")))
        appendUnique(folders, folder);

    if (const char *triplet = multiarchTriplet()) {
        appendUnique(folders, QStringLiteral("/lib/") + QLatin1String(triplet));
        appendUnique(folders, QStringLiteral("/usr/lib/") + QLatin1String(triplet));
    }
    appendUnique(folders, QStringLiteral("/lib"));
    appendUnique(folders, QStringLiteral("/usr/lib"));
    return folders;
}

QString findSharedObject(const QString &soName, const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(QDir(folder).filePath(soName));
        if (!candidate.exists())
            continue; // also a dangling link: the loader moves on too
        const QFileInfo real(candidate.canonicalFilePath());
        if (real.isFile() && real.isReadable())
            return real.filePath();
    }
    return {};
}

std::optional<ProductVersion> versionFromSharedObjectName(const QString &realFileName)
{
    const QString name = QFileInfo(realFileName).fileName();
    const qsizetype marker = name.lastIndexOf(QLatin1String(".so."));
    if (marker < 0)
        return std::nullopt;
    const QStringList parts = name.mid(marker + 4).split(u'.');
    if (parts.size() > 4)
        return std::nullopt;

    quint16 numbers[4] = {0, 0, 0, 0};
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!digits.match(parts[i]).hasMatch())
            return std::nullopt;
        const uint value = parts[i].toUInt();
        if (value > 0xFFFF)
            return std::nullopt;
        numbers[i] = quint16(value);
    }
    return ProductVersion::fromParts(numbers[0], numbers[1], numbers[2], numbers[3]);
}

std::optional<ProductVersion> fileProductVersion(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    return versionFromSharedObjectName(info.canonicalFilePath());
}

std::optional<ProductVersion> libraryProductVersion(const QString &libraryName)
{
    QStringList folders{QCoreApplication::applicationDirPath()};
    for (const QString &folder : loaderSearchFolders())
        appendUnique(folders, folder);
    const QString found = findSharedObject(sharedObjectName(libraryName), folders);
    if (found.isEmpty())
        return std::nullopt;
    return versionFromSharedObjectName(found);
}

} // namespace corvane::platform
