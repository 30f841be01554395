#include "PaintTable.h"

#include "GameFiles.h"
#include "GameText.h"
#include "PaintRules.h"

namespace {
// A value leading out of the aircraft's folder (a downloaded list may hold
// one) gets no path at all, so nothing outside is ever read or written.
QString pathInside(const QString &folder, const QByteArray &value)
{
    if (!PaintRules::staysInAircraftFolder(value))
        return QString();
    return PaintListFile::texturePath(folder, value);
}
} // namespace

PaintTable::PaintTable(const QString &folder, const PaintListContents &contents)
    : m_loaded(true)
    , m_folder(folder)
    , m_mainTexture(contents.mainTexture)
    , m_mainTexturePath(pathInside(m_folder, contents.mainTexture))
    , m_paints(contents.paints)
{
}

std::optional<PaintTable> PaintTable::load(const QString &paintListPath)
{
    const std::optional<PaintListContents> contents = PaintListFile::load(paintListPath);
    if (!contents)
        return std::nullopt;
    return PaintTable(PaintListFile::folderOf(paintListPath), *contents);
}

bool PaintTable::save(const QString &paintListPath, const QByteArray &title, QString *error) const
{
    if (!isLoaded()) {
        if (error)
            *error = QStringLiteral("No paint list is loaded");
        return false;
    }
    return PaintListFile::writeFull(paintListPath, title, m_mainTexture, m_paints, error);
}

QString PaintTable::displayText(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    if (row == InstalledRow)
        return QStringLiteral("Currently Installed Paint");
    if (row == DefaultRow)
        return QStringLiteral("Default Paint");
    return GameText::decode(m_paints.at(row - FirstPaintRow).name);
}

QString PaintTable::texturePath(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    if (row == InstalledRow)
        return GameFiles::findGameFile(mainTexturePath());
    if (row == DefaultRow)
        return GameFiles::findGameFile(backupPath());
    const QString path = pathInside(m_folder, m_paints.at(row - FirstPaintRow).texture);
    return path.isEmpty() ? path : GameFiles::findGameFile(path);
}

void PaintTable::appendPaint(const QByteArray &name, const QByteArray &textureFileName)
{
    m_paints.append(PaintEntry{name, textureFileName});
}

bool PaintTable::removePaint(int row)
{
    if (row < FirstPaintRow || row >= rowCount())
        return false;
    m_paints.removeAt(row - FirstPaintRow);
    return true;
}

void PaintTable::clear()
{
    *this = PaintTable();
}
