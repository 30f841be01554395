#include "GameFiles.h"

#include "AircraftFileCheck.h"
#include "RegularFileOpen.h"
#include "SafeSave.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace GameFiles {

namespace {

constexpr qint64 CopyBlockSize = 256 * 1024;

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

enum class Source { InsideFolder, Anywhere };

bool copyChecked(const QString &aircraftFolder, const QString &source, const QString &target,
                 Source where, SafeSave::Options options, QString *error)
{
    QString sourcePath = findGameFile(source);
    if (where == Source::InsideFolder) {
        const FileVerdict from = AircraftFileCheck::mayRead(aircraftFolder, sourcePath);
        if (!from)
            return fail(error, from.message());
        sourcePath = from.realPath;
    }
    const FileVerdict to = AircraftFileCheck::mayWrite(aircraftFolder, findGameFile(target));
    if (!to)
        return fail(error, to.message());

    QFile in(sourcePath);
    QString reason;
    if (!RegularFileOpen::openForReading(in, &reason))
        return fail(error, QDir::toNativeSeparators(findGameFile(source)) + u' ' + reason);
    SafeSave out(to.realPath, options);
    if (!out.open())
        return fail(error, out.errorString());
    for (;;) {
        const QByteArray block = in.read(CopyBlockSize);
        if (block.isEmpty())
            break;
        if (!out.write(block))
            return fail(error, out.errorString());
    }
    if (in.error() != QFileDevice::NoError)
        return fail(error, in.errorString());
    if (!out.commit())
        return fail(error, out.errorString());
    return true;
}

} // namespace

QString findGameFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return path;
#ifdef Q_OS_WIN
    return path; // the file system already ignores letter case
#else
    const QString name = info.fileName();
    if (name.isEmpty())
        return path;
    const QString folder = path.left(path.size() - name.size());
    QString match;
    QDirIterator it(folder.isEmpty() ? QStringLiteral(".") : folder,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString candidate = it.nextFileInfo().fileName();
        // Several spellings may exist side by side here, unlike on Windows;
        // take the same one every time.
        if (candidate.compare(name, Qt::CaseInsensitive) == 0
            && (match.isNull() || candidate < match))
            match = candidate;
    }
    return match.isNull() ? path : folder + match;
#endif
}

bool canOpenForReading(const QString &path)
{
    QFile file(path);
    return RegularFileOpen::openForReading(file);
}

namespace {

bool copyWithoutReplacing(const QString &aircraftFolder, const QString &source, const QString &target,
                          Source where, QString *error)
{
    if (AircraftFileCheck::entryExists(findGameFile(target)))
        return fail(error, QStringLiteral("%1 already exists").arg(QDir::toNativeSeparators(findGameFile(target))));
    SafeSave::Options keep;
    keep.replaceExisting = false;
    return copyChecked(aircraftFolder, source, target, where, keep, error);
}

} // namespace

bool copyIfAbsent(const QString &aircraftFolder, const QString &source, const QString &target,
                  QString *error)
{
    return copyWithoutReplacing(aircraftFolder, source, target, Source::InsideFolder, error);
}

bool importIfAbsent(const QString &aircraftFolder, const QString &source, const QString &target,
                    QString *error)
{
    return copyWithoutReplacing(aircraftFolder, source, target, Source::Anywhere, error);
}

bool copyReplacing(const QString &aircraftFolder, const QString &source, const QString &target,
                   QString *error)
{
    return copyChecked(aircraftFolder, source, target, Source::InsideFolder, SafeSave::Options(), error);
}

} // namespace GameFiles
