#include "InstallSpool.h"

#include "PaintListFile.h"

#include <QFileInfo>

class SpoolSink : public TextureSink
{
public:
    SpoolSink(InstallSpool &spool, const QString &download, bool isArchive,
              const QList<AircraftCandidate> &candidates, const InstallRequest &request)
        : m_spool(spool), m_download(download), m_archiveName(isArchive ? QFileInfo(download).fileName() : QString())
        , m_isArchive(isArchive), m_candidates(candidates), m_request(request)
    {
    }

    bool open(const DownloadedTexture &texture) override
    {
        m_file.reset();
        // Pictures made into DDS are made from the whole picture, later.
        if (PictureTexture::isPicture(texture.fileName) && !m_request.keepPictures)
            return false;
        const AircraftMatch match = matchAircraft(m_isArchive ? texture.source : texture.fileName, m_archiveName,
                                                  texture.shape, m_candidates, m_request.chosenAircraft);
        if (match.aircraft < 0)
            return false;
        const AircraftFileCheck::Folder *folder = m_spool.folderFor(match.aircraft);
        if (!folder)
            return false;
        // Only where the texture's own name may be written; the name it
        // gets is checked again when it is put in place.
        const FileVerdict verdict = folder->mayWrite(folder->folder() + texture.fileName);
        if (!verdict)
            return false;
        SafeSave::Options options;
        options.replaceExisting = false;
        options.syncToDisk = false; // the folder is synced once, at the end
        auto file = std::make_unique<SafeSave>(verdict.realPath, options);
        if (!file->open())
            return false;
        m_file = std::move(file);
        m_aircraft = match.aircraft;
        return true;
    }

    bool write(QByteArrayView bytes) override
    {
        if (m_file->write(QByteArray::fromRawData(bytes.data(), bytes.size())))
            return true;
        m_file.reset(); // the carrying out reads it again and tells why
        return false;
    }

    void close(const DownloadedTexture &texture, const QString &problem) override
    {
        std::unique_ptr<SafeSave> file = std::move(m_file);
        if (!file || !problem.isEmpty() || !file->close())
            return;
        m_spool.m_spooled[{m_download, texture.entry}] = {m_aircraft, texture.size, texture.digest, std::move(file)};
    }

private:
    InstallSpool &m_spool;
    QString m_download;
    QString m_archiveName;
    bool m_isArchive;
    const QList<AircraftCandidate> &m_candidates;
    const InstallRequest &m_request;
    std::unique_ptr<SafeSave> m_file;
    int m_aircraft = -1;
};

InstallSpool::InstallSpool(const QList<AircraftEntry> &aircraft)
    : m_aircraft(aircraft)
{
}

InstallSpool::~InstallSpool()
{
    m_spooled.clear(); // before the locks
}

std::unique_ptr<TextureSink> InstallSpool::sinkFor(const QString &download, bool isArchive,
                                                   const QList<AircraftCandidate> &candidates,
                                                   const InstallRequest &request)
{
    return std::make_unique<SpoolSink>(*this, download, isArchive, candidates, request);
}

const AircraftFileCheck::Folder *InstallSpool::folderFor(int aircraft)
{
    if (aircraft >= m_aircraft.size())
        return nullptr;
    auto found = m_folders.find(aircraft);
    if (found == m_folders.end()) {
        const QString folder = PaintListFile::folderOf(m_aircraft[aircraft].paintListPath);
        Folder entry;
        entry.lock = std::make_unique<AircraftLock>(folder);
        // Refused, the texture is read again when the plan is carried out,
        // which then tells the player who holds the aircraft.
        if (entry.lock->acquire())
            entry.check = std::make_unique<AircraftFileCheck::Folder>(folder);
        found = m_folders.emplace(aircraft, std::move(entry)).first;
    }
    return found->second.check.get();
}

std::unique_ptr<SafeSave> InstallSpool::take(const InstallItem &item)
{
    const auto found = m_spooled.find({item.download, item.texture.entry});
    if (found == m_spooled.end())
        return nullptr;
    Spooled &spooled = found->second;
    if (spooled.aircraft != item.aircraft || spooled.size != item.texture.size
        || spooled.digest != item.texture.digest)
        return nullptr;
    std::unique_ptr<SafeSave> file = std::move(spooled.file);
    m_spooled.erase(found);
    return file;
}
