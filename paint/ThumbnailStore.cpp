#include "ThumbnailStore.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace {

const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
// Text comes before the picture data; a thumbnail whose first chunks run
// longer than this is no thumbnail of ours or the file managers'.
constexpr qint64 largestHeadRead = 64 * 1024;
// A 256-pixel picture with its alpha, even stored uncompressed, is smaller.
constexpr qint64 largestThumbnail = 2 * 256 * 256 * 4;

quint32 crc32(const QByteArray &bytes)
{
    static const auto table = [] {
        std::array<quint32, 256> entries{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    quint32 c = 0xffffffffu;
    for (const char byte : bytes)
        c = table[(c ^ quint8(byte)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

QByteArray chunk(const QByteArray &type, const QByteArray &data)
{
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), bytes.data());
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(type + data), crc.data());
    return bytes + type + data + crc;
}

// A zTXt chunk's text: method 0 is zlib's stream, which qUncompress takes
// after a size it grows from as needed.
QByteArray inflated(const QByteArray &stream)
{
    QByteArray sized(4, '\0');
    qToBigEndian<quint32>(quint32(std::max<qsizetype>(64, stream.size() * 4)), sized.data());
    return qUncompress(sized + stream);
}

} // namespace

ThumbnailIdentity ThumbnailIdentity::of(const QString &path)
{
    const QFileInfo info(path);
    ThumbnailIdentity identity;
    if (!info.isFile())
        return identity;
    identity.uri = QString::fromLatin1(QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded());
    identity.modified = info.lastModified().toSecsSinceEpoch();
    identity.size = info.size();
    return identity;
}

QString ThumbnailIdentity::fileName() const
{
    return QString::fromLatin1(QCryptographicHash::hash(uri.toUtf8(), QCryptographicHash::Md5).toHex())
           + QStringLiteral(".png");
}

namespace ThumbnailText {

QHash<QByteArray, QByteArray> read(const QByteArray &png)
{
    QHash<QByteArray, QByteArray> text;
    if (!png.startsWith(pngSignature))
        return text;
    qsizetype at = pngSignature.size();
    while (at + 8 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        const QByteArray type = png.mid(at + 4, 4);
        const qsizetype dataStart = at + 8;
        if (length > quint32(png.size()) || dataStart + qsizetype(length) > png.size())
            break; // cut short: what was read so far stands
        if (type == "IDAT" || type == "IEND")
            break;
        if (type == "tEXt" || type == "zTXt") {
            const QByteArray data = png.mid(dataStart, length);
            const qsizetype zero = data.indexOf('\0');
            if (zero > 0 && type == "tEXt")
                text.insert(data.left(zero), data.mid(zero + 1));
            else if (zero > 0 && data.size() > zero + 1 && data.at(zero + 1) == '\0')
                text.insert(data.left(zero), inflated(data.mid(zero + 2)));
        }
        at = dataStart + qsizetype(length) + 4; // and the CRC
    }
    return text;
}

QByteArray withText(const QByteArray &png, const QList<QPair<QByteArray, QByteArray>> &text)
{
    constexpr qsizetype headerEnd = 8 + 4 + 4 + 13 + 4; // signature, then IHDR
    if (!png.startsWith(pngSignature) || png.size() < headerEnd || png.mid(12, 4) != "IHDR")
        return QByteArray();
    QByteArray chunks;
    for (const auto &[key, value] : text)
        chunks += chunk("tEXt", key + '\0' + value);
    return png.left(headerEnd) + chunks + png.mid(headerEnd);
}

QList<QPair<QByteArray, QByteArray>> of(const ThumbnailIdentity &identity)
{
    return {{Uri, identity.uri.toUtf8()},
            {Modified, QByteArray::number(identity.modified)},
            {Size, QByteArray::number(identity.size)}};
}

QHash<QByteArray, QByteArray> readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return read(file.read(largestHeadRead));
}

bool describes(const QHash<QByteArray, QByteArray> &text, const ThumbnailIdentity &identity)
{
    if (!identity.isValid() || QString::fromUtf8(text.value(Uri)) != identity.uri)
        return false;
    bool number = false;
    if (text.value(Modified).trimmed().toLongLong(&number) != identity.modified || !number)
        return false;
    if (text.contains(Size)) {
        if (text.value(Size).trimmed().toLongLong(&number) != identity.size || !number)
            return false;
    }
    return true;
}

} // namespace ThumbnailText

ThumbnailFolder::ThumbnailFolder(const QString &folder, Upkeep upkeep)
    : m_folder(folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/'), m_upkeep(upkeep)
{
}

QString ThumbnailFolder::find(const ThumbnailIdentity &identity) const
{
    return load(identity).isEmpty() ? QString() : m_folder + identity.fileName();
}

QByteArray ThumbnailFolder::load(const ThumbnailIdentity &identity) const
{
    if (!isUsable() || !identity.isValid())
        return QByteArray();
    const QString path = m_folder + identity.fileName();
    if (!QFileInfo(path).isFile())
        return QByteArray();
    QFile file(path);
    // Opened for writing only to mark it used; a folder we may not write
    // still gives its thumbnails.
    const bool own = m_upkeep == Upkeep::Own;
    if (!(own && file.open(QIODevice::ReadWrite)) && !file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray png = file.read(largestThumbnail + 1);
    if (png.size() <= largestThumbnail && ThumbnailText::describes(ThumbnailText::read(png), identity)) {
        // Used now: the bound drops it last.
        if (own && file.isWritable())
            file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
        return png;
    }
    file.close();
    if (own)
        QFile::remove(path);
    return QByteArray();
}

PaintResult ThumbnailFolder::store(const ThumbnailIdentity &identity, const QByteArray &png) const
{
    const QString path = isUsable() && identity.isValid() ? m_folder + identity.fileName() : QString();
    auto fail = [&](const QString &reason) { return PaintResult::failure(path, reason); };
    if (!isUsable() || !identity.isValid())
        return fail(QStringLiteral("no thumbnail folder or no file"));
    if (!ThumbnailText::describes(ThumbnailText::read(png), identity))
        return fail(QStringLiteral("the thumbnail does not name its file"));
    if (!QDir().mkpath(m_folder))
        return fail(QStringLiteral("%1 cannot be made").arg(m_folder));
    QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QSaveFile file(m_folder + identity.fileName());
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(png) != png.size() || !file.commit())
        return fail(file.errorString());
    return PaintResult::success(path);
}

qint64 ThumbnailFolder::prune(qint64 maxBytes, const std::atomic_bool *stop) const
{
    if (!isUsable() || m_upkeep != Upkeep::Own)
        return 0;
    struct Entry
    {
        QString path;
        qint64 size;
        QDateTime used;
    };
    QList<Entry> kept;
    qint64 total = 0;
    QDirIterator files(m_folder, {QStringLiteral("*.png")}, QDir::Files);
    while (files.hasNext()) {
        if (stop && *stop)
            return -1;
        const QFileInfo info = files.nextFileInfo();
        const QHash<QByteArray, QByteArray> text = ThumbnailText::readFile(info.filePath());
        const QUrl uri(QString::fromUtf8(text.value(ThumbnailText::Uri)), QUrl::StrictMode);
        const ThumbnailIdentity now = uri.isLocalFile() ? ThumbnailIdentity::of(uri.toLocalFile()) : ThumbnailIdentity();
        if (!ThumbnailText::describes(text, now) || now.fileName() != info.fileName()) {
            QFile::remove(info.filePath());
            continue;
        }
        kept.append({info.filePath(), info.size(), info.lastModified()});
        total += info.size();
    }
    std::sort(kept.begin(), kept.end(), [](const Entry &a, const Entry &b) { return a.used < b.used; });
    for (const Entry &entry : std::as_const(kept)) {
        if (total <= maxBytes)
            break;
        if (QFile::remove(entry.path))
            total -= entry.size;
    }
    return total;
}

QString ThumbnailFolder::ownFolderOf(const QString &cacheLocation)
{
    return cacheLocation.isEmpty() ? QString() : cacheLocation + QStringLiteral("/thumbnails/");
}

QString ThumbnailFolder::sharedLargeFolder()
{
#ifdef Q_OS_WIN
    return QString();
#else
    // The standard's own rule, not the application's cache folder.
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/thumbnails/large/");
#endif
}
