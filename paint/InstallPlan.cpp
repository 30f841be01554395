#include "InstallPlan.h"

#include "AircraftFileCheck.h"
#include "GameFiles.h"
#include "GameText.h"
#include "InstallSpool.h"
#include "PaintListFile.h"
#include "PaintNaming.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

QString folderNameOf(const QString &folder)
{
    return QDir(folder).dirName();
}

QString withoutFileName(const QString &path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return slash < 0 ? QString() : path.left(slash);
}

bool namesAMainTexture(const QString &fileName, const QList<AircraftCandidate> &candidates)
{
    for (const AircraftCandidate &candidate : candidates) {
        if (fileName.compare(candidate.mainTextureName, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// A paint is named by the most specific thing that names it: its read-me,
// else its texture's file name, unless that is a main texture's name (most
// skins ship the texture under the name the game wants), else the nearest
// folder in the download, else the download itself.
QString defaultPaintName(const InstallItem &item, bool fromArchive, const QString &readmeName,
                         const QList<AircraftCandidate> &candidates)
{
    if (!readmeName.isEmpty())
        return readmeName;
    QStringList aircraftNames;
    QList<int> meant = item.match.candidates;
    if (item.aircraft >= 0)
        meant.prepend(item.aircraft);
    for (int i : std::as_const(meant))
        aircraftNames << candidates[i].folderName << candidates[i].definitionBaseName;

    const QString &fileName = item.texture.fileName;
    QStringList namers;
    if (!namesAMainTexture(fileName, candidates))
        namers << fileName;
    if (fromArchive) {
        QStringList folders = withoutFileName(item.texture.source).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
        std::reverse(folders.begin(), folders.end());
        namers << folders << QFileInfo(item.download).fileName();
    }
    for (const QString &namer : std::as_const(namers)) {
        const QString name = PaintNaming::paintNameFrom(namer, aircraftNames);
        if (!name.isEmpty())
            return name;
    }
    return PaintNaming::readableName(fileName);
}

// The read-me nearest to the texture: in its own folder, else in the
// closest folder above it. One whose name says it is a read-me wins in a
// folder with several.
int noteFor(const DownloadedTexture &texture, const QList<DownloadedNote> &notes)
{
    QString folder = withoutFileName(texture.source);
    for (;;) {
        int found = -1;
        for (int i = 0; i < notes.size(); ++i) {
            if (withoutFileName(notes[i].source) != folder || notes[i].text.isEmpty())
                continue;
            const QString name = QFileInfo(notes[i].source).fileName().toLower();
            const bool saysReadme = name.contains(QLatin1String("read")) || name.contains(QLatin1String("info"));
            if (found < 0 || saysReadme)
                found = i;
            if (saysReadme)
                break;
        }
        if (found >= 0 || folder.isEmpty())
            return found;
        folder = withoutFileName(folder);
    }
}

// Pictures are measured while the download is read for the plan; only the
// first bytes are kept, where every picture format keeps its size.
class PictureSizes : public TextureSink
{
public:
    bool open(const DownloadedTexture &texture) override
    {
        m_head.clear();
        return PictureTexture::isPicture(texture.fileName);
    }
    bool write(QByteArrayView bytes) override
    {
        m_head.append(bytes.first(std::min(bytes.size(), HeadBytes - m_head.size())));
        return m_head.size() < HeadBytes;
    }
    void close(const DownloadedTexture &texture, const QString &problem) override
    {
        if (problem.isEmpty() || m_head.size() >= HeadBytes) {
            if (const auto size = PictureTexture::sizeOf(m_head))
                sizes.insert(texture.entry, *size);
        }
        m_head.clear();
    }

    QHash<int, PictureTexture::PictureSize> sizes;

private:
    static constexpr qsizetype HeadBytes = 1 << 20;
    QByteArray m_head;
};

// Both sinks get the bytes each of them wants.
class TwoSinks : public TextureSink
{
public:
    TwoSinks(TextureSink &first, TextureSink *second) : m_sinks{&first, second} {}

    bool open(const DownloadedTexture &texture) override
    {
        for (int i = 0; i < 2; ++i)
            m_open[i] = m_writing[i] = m_sinks[i] && m_sinks[i]->open(texture);
        return m_open[0] || m_open[1];
    }
    bool write(QByteArrayView bytes) override
    {
        for (int i = 0; i < 2; ++i) {
            if (m_writing[i])
                m_writing[i] = m_sinks[i]->write(bytes);
        }
        return m_writing[0] || m_writing[1];
    }
    void close(const DownloadedTexture &texture, const QString &problem) override
    {
        for (int i = 0; i < 2; ++i) {
            if (std::exchange(m_open[i], false))
                m_sinks[i]->close(texture, problem);
        }
    }

private:
    TextureSink *m_sinks[2];
    bool m_open[2] = {false, false};
    bool m_writing[2] = {false, false};
};

void planPicture(InstallItem &item, const QHash<int, PictureTexture::PictureSize> &sizes,
                 const QList<AircraftCandidate> &candidates, bool keepPictures)
{
    if (!PictureTexture::isPicture(item.texture.fileName) || keepPictures)
        return;
    item.makeDds = true;
    if (sizes.contains(item.texture.entry))
        item.pictureSize = sizes.value(item.texture.entry);
    if (item.aircraft < 0)
        return; // judged against the aircraft the player picks
    const std::optional<TextureFile::DdsShape> &original = candidates[item.aircraft].mainTexture;
    if (!original)
        item.pictureProblem = QStringLiteral("the aircraft's main texture cannot be read as DDS, so its format is unknown");
    else if (!item.pictureSize)
        item.pictureProblem = QStringLiteral("the picture cannot be read");
    else
        item.pictureProblem = PictureTexture::problemWithMaking(*item.pictureSize, *original);
    if (!item.pictureProblem.isEmpty())
        item.selected = false;
}

QString aircraftName(const QList<AircraftEntry> &aircraft, int index)
{
    return index >= 0 && index < aircraft.size() ? aircraft[index].title : QStringLiteral("(no aircraft)");
}

} // namespace

bool InstallPlan::hasSelection() const
{
    for (const InstallItem &item : items) {
        if (item.selected && item.aircraft >= 0)
            return true;
    }
    return false;
}

QList<AircraftCandidate> aircraftCandidates(const QList<AircraftEntry> &aircraft)
{
    QList<AircraftCandidate> candidates;
    for (const AircraftEntry &entry : aircraft) {
        AircraftCandidate candidate;
        const QString folder = PaintListFile::folderOf(entry.paintListPath);
        candidate.folderName = folderNameOf(folder);
        candidate.definitionBaseName = QFileInfo(entry.paintListPath).completeBaseName();
        // Without a list yet, the main texture is the one the list would name.
        QByteArray mainTexture = GameText::encode(PaintListFile::defaultMainTexture(candidate.definitionBaseName));
        if (PaintListContents contents; PaintListFile::load(entry.paintListPath, contents))
            mainTexture = contents.mainTexture;
        const QString mainTexturePath = PaintListFile::texturePath(folder, mainTexture);
        candidate.mainTextureName = QFileInfo(mainTexturePath).fileName();
        const FileVerdict mainTextureFile = AircraftFileCheck::mayRead(folder, GameFiles::findGameFile(mainTexturePath));
        if (mainTextureFile)
            candidate.mainTexture = TextureFile::readDdsShape(mainTextureFile.realPath);
        candidates.append(candidate);
    }
    return candidates;
}

InstallPlan planInstall(const InstallRequest &request, const QList<AircraftEntry> &aircraft,
                        const PaintArchive::Limits &limits, InstallSpool *spool)
{
    const QList<AircraftCandidate> candidates = aircraftCandidates(aircraft);
    InstallPlan plan;
    const InstallProgress *progress = limits.progress;
    for (qsizetype d = 0; d < request.downloads.size(); ++d) {
        const QString &given = request.downloads[d];
        if (progress) {
            if (progress->isCancelled())
                return InstallPlan{{}, {}, {PaintResult::failure(given, cancelledReason())}, true};
            progress->tell(int(d), int(request.downloads.size()), QFileInfo(given).fileName());
        }
        // An unpacked download is read like an archive of the same layout.
        const bool isFolder = QFileInfo(given).isDir();
        const QString download = isFolder ? QDir::cleanPath(given) : given;
        const QString fileName = QFileInfo(download).fileName();
        const bool isArchive = isFolder || PaintArchive::isArchiveFileName(fileName);
        PictureSizes pictures;
        const std::unique_ptr<TextureSink> spooling =
            spool ? spool->sinkFor(download, isArchive, candidates, request) : nullptr;
        TwoSinks sinks(pictures, spooling.get());
        const DownloadContents contents = PaintArchive::readDownload(download, limits, &sinks);
        if (progress && progress->isCancelled())
            return InstallPlan{{}, {}, {PaintResult::failure(given, cancelledReason())}, true};
        if (!contents.ok()) {
            plan.refused.append(contents.result);
            continue;
        }
        plan.skipped += contents.skipped;
        QList<int> notes;
        QList<int> texturesPerNote(contents.notes.size(), 0);
        for (const DownloadedTexture &texture : contents.textures) {
            notes.append(noteFor(texture, contents.notes));
            if (notes.last() >= 0)
                ++texturesPerNote[notes.last()];
        }
        for (qsizetype t = 0; t < contents.textures.size(); ++t) {
            const DownloadedTexture &texture = contents.textures[t];
            InstallItem item;
            item.download = download;
            item.texture = texture;
            item.shape = texture.shape;
            item.match = matchAircraft(isArchive ? texture.source : texture.fileName,
                                       isArchive ? fileName : QString(), item.shape, candidates,
                                       request.chosenAircraft);
            item.aircraft = item.match.aircraft;
            item.selected = item.aircraft >= 0;
            QString readmeName;
            if (notes[t] >= 0) {
                item.note = contents.notes[notes[t]];
                // A read-me shared by several paints names none of them.
                if (texturesPerNote[notes[t]] == 1)
                    readmeName = PaintNaming::nameInReadme(item.note.text);
            }
            item.paintName = defaultPaintName(item, isArchive, readmeName, candidates);
            planPicture(item, pictures.sizes, candidates, request.keepPictures);
            plan.items.append(item);
        }
    }
    if (!request.paintName.isEmpty()) {
        for (InstallItem &item : plan.items) {
            item.paintName = plan.items.size() == 1
                                 ? request.paintName
                                 : request.paintName + QStringLiteral(" ") + item.paintName;
        }
    }
    return plan;
}

QString describePicture(const InstallItem &item)
{
    if (!PictureTexture::isPicture(item.texture.fileName))
        return QString();
    if (!item.makeDds)
        return QStringLiteral("installed as the picture it is, which the game cannot load");
    if (!item.pictureProblem.isEmpty())
        return QStringLiteral("cannot be made into a DDS texture: %1").arg(item.pictureProblem);
    return QStringLiteral("made into a DDS texture like the aircraft's original, with mipmaps");
}

QString describePlan(const InstallPlan &plan, const QList<AircraftEntry> &aircraft)
{
    QString text;
    for (const PaintResult &refusal : plan.refused)
        text += QStringLiteral("refused  %1\n").arg(refusal.line());
    for (const InstallItem &item : plan.items) {
        QString how;
        switch (item.match.reason) {
        case MatchReason::Chosen: how = QStringLiteral("as chosen"); break;
        case MatchReason::Name: how = QStringLiteral("by name"); break;
        case MatchReason::Shape: how = QStringLiteral("by size and format"); break;
        case MatchReason::Ambiguous: {
            QStringList names;
            for (int i : item.match.candidates)
                names.append(aircraftName(aircraft, i));
            how = QStringLiteral("could be any of: %1").arg(names.join(QStringLiteral(", ")));
            break;
        }
        case MatchReason::None: how = QStringLiteral("no aircraft matches"); break;
        }
        if (!item.note.text.isEmpty())
            how += QStringLiteral("; read-me %1 kept beside it").arg(item.note.source);
        if (const QString picture = describePicture(item); !picture.isEmpty())
            how += QStringLiteral("; ") + picture;
        text += QStringLiteral("%1  %2 -> %3 as \"%4\" (%5)\n")
                    .arg(item.selected && item.aircraft >= 0 ? QStringLiteral("install") : QStringLiteral("leave  "),
                         item.texture.source, aircraftName(aircraft, item.aircraft), item.paintName, how);
    }
    for (const SkippedEntry &skipped : plan.skipped)
        text += QStringLiteral("skip     %1: %2\n").arg(skipped.source, skipped.reason);
    return text;
}

QString describeResults(const QList<AircraftInstallResult> &results, const QList<AircraftEntry> &aircraft)
{
    QString text;
    for (const AircraftInstallResult &result : results) {
        text += aircraftName(aircraft, result.aircraft) + QStringLiteral(": ");
        text += result.added.isEmpty() ? QStringLiteral("nothing added")
                                       : QStringLiteral("added ") + result.added.join(QStringLiteral(", "));
        text += u'\n';
        for (const QString &note : result.notes)
            text += QStringLiteral("  %1\n").arg(note);
        for (const PaintResult &problem : result.problems)
            text += QStringLiteral("  %1\n").arg(problem.line());
    }
    return text;
}
