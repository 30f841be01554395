#pragma once

#include "PaintListFile.h"

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
    // backup is the caller's step). Nothing when the list cannot be opened.
    static std::optional<PaintTable> load(const QString &paintListPath);

    // Rewrites the list in its full form under the given title.
    bool save(const QString &paintListPath, const QByteArray &title,
              QString *error = nullptr) const;

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

    void appendPaint(const QByteArray &name, const QByteArray &textureFileName);
    bool removePaint(int row); // paint rows only; false for rows 0 and 1
    void clear();

private:
    bool m_loaded = false;
    QString m_folder;
    QByteArray m_mainTexture;
    QString m_mainTexturePath;
    QList<PaintEntry> m_paints;
};
