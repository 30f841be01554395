#pragma once

#include "PaintResult.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <atomic>

// Thumbnails of texture files kept on disk in the freedesktop form: a PNG
// named by the MD5 of the file's URI, carrying the URI and the file's
// modification time (and size) as text, so a thumbnail made for an older
// version of the file is known for stale. File managers keep theirs this
// way, so Corvane and they can share one another's.
//
// Reading the metadata needs no picture code: it is found in the PNG's text
// chunks, which come before the picture data.

// Which file a thumbnail stands for, as it is now.
struct ThumbnailIdentity
{
    QString uri;
    qint64 modified = -1; // seconds since 1970, as the standard keeps it
    qint64 size = -1;

    // Of the file at the path now; not valid when there is no such file.
    static ThumbnailIdentity of(const QString &path);
    bool isValid() const { return !uri.isEmpty() && modified >= 0; }
    // The thumbnail's file name: the lower-case hex MD5 of the URI, ".png".
    QString fileName() const;
    bool operator==(const ThumbnailIdentity &) const = default;
};

namespace ThumbnailText {
inline constexpr const char *Uri = "Thumb::URI";
inline constexpr const char *Modified = "Thumb::MTime";
inline constexpr const char *Size = "Thumb::Size";

// The text chunks of a PNG (keyword to text), read up to its picture data:
// plain (tEXt) and compressed (zTXt), which some file managers write for
// long texts. Empty when the bytes are no PNG.
QHash<QByteArray, QByteArray> read(const QByteArray &png);
// The PNG with these texts as plain chunks right after its header, the
// form every reader of the standard understands. Empty when it is no PNG.
QByteArray withText(const QByteArray &png, const QList<QPair<QByteArray, QByteArray>> &text);
// The three texts that name the file.
QList<QPair<QByteArray, QByteArray>> of(const ThumbnailIdentity &identity);
QHash<QByteArray, QByteArray> readFile(const QString &path);
// Whether the text names this file as it is now: same URI, same time, and
// the same size when the thumbnail gives one.
bool describes(const QHash<QByteArray, QByteArray> &text, const ThumbnailIdentity &identity);
} // namespace ThumbnailText

// One folder of such thumbnails.
class ThumbnailFolder
{
public:
    enum class Upkeep {
        Shared, // another program's too: read and written, never pruned
        Own,    // Corvane's alone: stale entries go, and the folder is bounded
    };

    ThumbnailFolder() = default;
    ThumbnailFolder(const QString &folder, Upkeep upkeep);

    QString folder() const { return m_folder; }
    bool isUsable() const { return !m_folder.isEmpty(); }

    // The thumbnail's path when one describes the file as it is now, else
    // empty. A stale one of an own folder is removed on the way.
    QString find(const ThumbnailIdentity &identity) const;
    // The same, giving the thumbnail's bytes (read once), or empty.
    QByteArray load(const ThumbnailIdentity &identity) const;
    // Writes a PNG that must already carry the identity's text, replacing
    // the old one in one step; thumbnails are private to the player.
    PaintResult store(const ThumbnailIdentity &identity, const QByteArray &png) const;

    // Own folders only: removes thumbnails whose file is gone or changed,
    // then the least recently made or used until at most maxBytes remain.
    // Answers the bytes kept. Once `stop` is set it ends early, removing
    // nothing for the bound (what it did not read may be the newest) and
    // answering -1.
    qint64 prune(qint64 maxBytes, const std::atomic_bool *stop = nullptr) const;

    // Corvane's own folder in the user's cache; the file managers' folder
    // of 256-pixel thumbnails where the desktop has one (not on Windows).
    static QString ownFolderOf(const QString &cacheLocation);
    static QString sharedLargeFolder();

private:
    QString m_folder;
    Upkeep m_upkeep = Upkeep::Own;
};
