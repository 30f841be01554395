#include "PaintGridModel.h"

#include "Hangar.h"
#include "ThumbnailLoader.h"

#include <QDir>
#include <QFont>
#include <QIcon>
#include <QPixmap>

PaintGridModel::PaintGridModel(Hangar &hangar, ThumbnailLoader *thumbnails, QObject *parent)
    : QAbstractListModel(parent), m_hangar(hangar), m_thumbnails(thumbnails)
{
    if (m_thumbnails)
        connect(m_thumbnails, &ThumbnailLoader::ready, this, &PaintGridModel::pictureReady);
}

void PaintGridModel::refresh()
{
    m_installed = m_hangar.installedRow();
    rebuild();
    // An apply or an edit outside wrote some of these files anew.
    if (m_thumbnails) {
        for (const Row &row : std::as_const(m_rows))
            m_thumbnails->forgetIfChanged(row.texturePath);
    }
}

void PaintGridModel::setFilter(const CollectionFilter &filter)
{
    if (filter == m_filter)
        return;
    m_filter = filter;
    rebuild();
}

void PaintGridModel::rebuild()
{
    beginResetModel();
    m_rows.clear();
    const PaintTable &table = m_hangar.paintTable();
    const AircraftEntry *aircraft = m_hangar.selectedAircraft();
    if (aircraft) {
        const QString title = aircraft->title;
        const QString folder = m_hangar.folderNameOf(m_hangar.selectedIndex());
        // The paints of an aircraft found by its own name all show.
        const bool allPaints = m_filter.matchesAircraft(title, folder);
        for (int row = 0; row < table.rowCount(); ++row) {
            const QString name = table.displayText(row);
            if (row >= PaintTable::FirstPaintRow && !allPaints && !m_filter.matchesPaint(title, folder, name))
                continue;
            m_rows.append({row, name, table.texturePath(row)});
        }
    }
    endResetModel();
    if (m_thumbnails) {
        QStringList pictures;
        for (const Row &row : std::as_const(m_rows))
            pictures << row.texturePath;
        m_thumbnails->prefer(pictures);
    }
}

QString PaintGridModel::texturePathAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).texturePath : QString();
}

int PaintGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant PaintGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const Row &row = m_rows.at(index.row());
    const bool installed = m_installed && *m_installed == row.tableRow;
    switch (role) {
    case Qt::DisplayRole:
        return row.name;
    case Qt::ToolTipRole: {
        QString tip = row.name;
        if (!row.texturePath.isEmpty())
            tip += u'\n' + QDir::toNativeSeparators(row.texturePath);
        if (installed)
            tip += QStringLiteral("\nWorn now");
        return tip;
    }
    case Qt::DecorationRole: {
        // An icon takes the whole picture square, however small the
        // texture: every cell is the same, and easy to hit.
        const QImage picture = m_thumbnails ? m_thumbnails->picture(row.texturePath) : QImage();
        return QIcon(QPixmap::fromImage(picture.isNull() ? ThumbnailLoader::placeholder() : picture));
    }
    case PictureSettledRole:
        return m_thumbnails && m_thumbnails->isSettled(row.texturePath);
    case Qt::FontRole: {
        QFont font;
        font.setBold(installed);
        return font;
    }
    case TableRowRole:
        return row.tableRow;
    case InstalledRole:
        return installed;
    case TexturePathRole:
        return row.texturePath;
    default:
        return QVariant();
    }
}

void PaintGridModel::pictureReady(const QString &path)
{
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).texturePath == path)
            emit dataChanged(index(row), index(row), {Qt::DecorationRole});
    }
}
