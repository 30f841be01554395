#include "PaintTable.h"

#include "GameFiles.h"
#include "GameText.h"
#include "PaintListReader.h"
#include "PaintRules.h"

#include <QCryptographicHash>
#include <QDir>

namespace {
// A value leading out of the aircraft's folder (a downloaded list may hold
// one) gets no path at all, so nothing outside is ever read or written.
QString pathInside(const QString &folder, const QByteArray &value)
{
    // An empty value names no file; its "path" would be the folder itself.
    if (value.isEmpty() || !PaintRules::staysInAircraftFolder(value))
        return QString();
    return PaintListFile::texturePath(folder, value);
}

QByteArray digestOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}
} // namespace

PaintTable::PaintTable(const QString &folder, const PaintListContents &contents)
    : m_loaded(true)
    , m_folder(folder)
    , m_mainTexture(contents.mainTexture)
    , m_mainTexturePath(pathInside(m_folder, contents.mainTexture))
    , m_paints(contents.paints)
    , m_firstSplitLine(contents.firstSplitLine)
{
}

PaintResult PaintTable::load(const QString &paintListPath, PaintTable &table)
{
    QByteArray bytes;
    const PaintResult read = PaintListFile::readBytes(paintListPath, bytes);
    if (!read)
        return read;
    table = PaintTable(PaintListFile::folderOf(paintListPath), PaintListFile::parse(bytes));
    table.m_fileDigest = digestOf(bytes);
    return read;
}

PaintResult PaintTable::applyEditsTo(QList<PaintEntry> &paints, const QString &paintListPath) const
{
    for (const Edit &edit : m_edits) {
        if (edit.added) {
            paints.append(edit.paint);
            continue;
        }
        // Equal entries are interchangeable: removing any one of them gives
        // the same list.
        const qsizetype at = paints.indexOf(edit.paint);
        if (at < 0) {
            return PaintResult::failure(paintListPath,
                                        QStringLiteral("The paint list was changed on disk since it was loaded, "
                                                       "and no longer lists the paint \"%1\" to remove.")
                                            .arg(GameText::decode(edit.paint.name)));
        }
        paints.removeAt(at);
    }
    return PaintResult::success(paintListPath);
}

PaintResult PaintTable::save(const QString &paintListPath, const QByteArray &title)
{
    m_lastSaveMerged = false;
    auto fail = [&](const QString &text) { return PaintResult::failure(paintListPath, text); };
    if (!isLoaded())
        return fail(QStringLiteral("No paint list is loaded"));

    QByteArray onDisk;
    if (const PaintResult read = PaintListFile::readBytes(paintListPath, onDisk); !read)
        return read;
    QByteArray mainTexture = m_mainTexture;
    QList<PaintEntry> paints = m_paints;
    int firstSplitLine = m_firstSplitLine;
    const bool changedOnDisk = digestOf(onDisk) != m_fileDigest;
    if (changedOnDisk) {
        const PaintListContents now = PaintListFile::parse(onDisk);
        mainTexture = now.mainTexture;
        paints = now.paints;
        firstSplitLine = now.firstSplitLine;
        if (const PaintResult applied = applyEditsTo(paints, paintListPath); !applied)
            return fail(applied.reason + QStringLiteral("\n\nNothing was saved; the list shows what the file holds now."));
    }
    if (firstSplitLine > 0) {
        return fail(QStringLiteral("Line %1 of the paint list is longer than %2 characters. Saving "
                                   "would split it into new rows, so the list was not saved.\n\n"
                                   "Shorten that line with \"Edit PNT file\".")
                        .arg(firstSplitLine)
                        .arg(PaintListReader::MaxReadLength - 1));
    }

    const QByteArray bytes = PaintListFile::fullForm(title, mainTexture, paints);
    // Written, it could never be read again, and the aircraft would vanish.
    if (bytes.size() > PaintListFile::MaxFileSize) {
        return fail(QStringLiteral("The paint list of %1 would grow to %2 KiB, past the %3 KiB Corvane reads "
                                   "back, so it was not saved.")
                        .arg(GameText::decode(title))
                        .arg((bytes.size() + 1023) / 1024)
                        .arg(PaintListFile::MaxFileSize / 1024));
    }
    if (const PaintResult written = PaintListFile::writeBytes(paintListPath, bytes); !written)
        return written;
    if (changedOnDisk) {
        m_mainTexture = mainTexture;
        m_mainTexturePath = pathInside(m_folder, mainTexture);
        m_paints = paints;
        m_lastSaveMerged = true;
    }
    m_firstSplitLine = 0;
    m_fileDigest = digestOf(bytes);
    m_edits.clear();
    return PaintResult::success(paintListPath);
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

void PaintTable::setMainTexture(const QByteArray &fileName)
{
    m_mainTexture = fileName;
    m_mainTexturePath = pathInside(m_folder, fileName);
}

void PaintTable::appendPaint(const QByteArray &name, const QByteArray &textureFileName)
{
    const PaintEntry paint{name, textureFileName};
    m_paints.append(paint);
    m_edits.append(Edit{true, paint});
}

bool PaintTable::removePaint(int row)
{
    if (row < FirstPaintRow || row >= rowCount())
        return false;
    m_edits.append(Edit{false, m_paints.takeAt(row - FirstPaintRow)});
    return true;
}

void PaintTable::clear()
{
    *this = PaintTable();
}
