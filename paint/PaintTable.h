#pragma once

#include "PaintListFile.h"
#include "PaintResult.h"

#include <QList>
#include <QString>

#include <optional>

// The paint rows of the selected aircraft: row 0 the installed main texture,
// row 1 its backup ("Default Paint"), then the paints of the list in file
// order. Texture paths are for opening files only and never shown.
class PaintTable
{
public:
    static constexpr int InstalledRow = 0;
    static constexpr int DefaultRow = 1;
    static constexpr int FirstPaintRow = 2;

    PaintTable() = default; // no list loaded: no rows at all
    PaintTable(const QString &folder, const PaintListContents &contents);

    // Reads the list at the path; nothing else is touched (the one-time
    // backup is the caller's step). When the list cannot be read the table
    // is left as it was, and the result says why, for the player.
    static PaintResult load(const QString &paintListPath, PaintTable &table);

    // Rewrites the list in its full form under the given title. When the
    // file is no longer what was loaded (edited in Notepad, by hand, by a
    // second Corvane), the adds and removes made since are applied to what
    // the file holds now instead, and the table becomes that; when they
    // cannot be, nothing is written. A list with a line too long for one
    // read is never saved: its pieces would be written back as new rows.
    // A refused write gives the system's reason alone.
    PaintResult save(const QString &paintListPath, const QByteArray &title);
    // Whether the last save had to apply the changes to a list changed on disk.
    bool lastSaveMerged() const { return m_lastSaveMerged; }

    bool isLoaded() const { return m_loaded; }
    int rowCount() const { return isLoaded() ? FirstPaintRow + int(m_paints.size()) : 0; }

    QString displayText(int row) const;
    // The file to open for a row: where the derived name is missing, a file
    // of the same folder whose name differs only in letter case. Empty for a
    // row whose value leads outside the aircraft's folder.
    QString texturePath(int row) const;

    QString folder() const { return m_folder; }
    // Names as derived from the list, for files the tool writes.
    QString mainTexturePath() const { return m_mainTexturePath; }
    QString backupPath() const
    {
        return m_mainTexturePath.isEmpty() ? QString() : m_mainTexturePath + QStringLiteral(".bak");
    }
    QByteArray mainTextureName() const { return m_mainTexture; }
    const QList<PaintEntry> &paints() const { return m_paints; }

    bool namesMainTexture() const { return !m_mainTexture.isEmpty(); }
    void setMainTexture(const QByteArray &fileName);
    void appendPaint(const QByteArray &name, const QByteArray &textureFileName);
    bool removePaint(int row); // paint rows only; false for rows 0 and 1
    void clear();

private:
    struct Edit
    {
        bool added;
        PaintEntry paint;
    };
    PaintResult applyEditsTo(QList<PaintEntry> &paints, const QString &paintListPath) const;

    bool m_loaded = false;
    QString m_folder;
    QByteArray m_mainTexture;
    QString m_mainTexturePath;
    QList<PaintEntry> m_paints;
    int m_firstSplitLine = 0;
    QByteArray m_fileDigest;  // of the bytes last loaded or saved
    QList<Edit> m_edits;      // made since then
    bool m_lastSaveMerged = false;
};
