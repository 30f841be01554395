#include "CollectionModel.h"

#include "Hangar.h"
#include "ThumbnailLoader.h"

CollectionModel::CollectionModel(const Hangar &hangar, ThumbnailLoader *thumbnails, QObject *parent)
    : QAbstractListModel(parent), m_hangar(hangar), m_thumbnails(thumbnails)
{
    connect(&m_survey, &CollectionSurvey::summariesFound, this, &CollectionModel::takeSummaries);
    connect(&m_survey, &CollectionSurvey::statusesFound, this, &CollectionModel::takeStatuses);
    connect(&m_survey, &CollectionSurvey::finished, this, [this] {
        m_finished = true;
        emit surveyDone();
    });
    if (m_thumbnails)
        connect(m_thumbnails, &ThumbnailLoader::ready, this, &CollectionModel::pictureReady);
}

void CollectionModel::reload()
{
    beginResetModel();
    m_rows.clear();
    m_rowOfMainTexture.clear();
    const QList<AircraftEntry> &aircraft = m_hangar.aircraft();
    m_rows.reserve(aircraft.size());
    for (int index = 0; index < aircraft.size(); ++index)
    {
        Row row{aircraft.at(index).title, m_hangar.folderNameOf(index), aircraft.at(index).paintListPath, -1, {}, {}, {}, {}};
        row.searched = CollectionFilter::Subject::of(row.title, row.folder, {});
        m_rows.append(std::move(row));
    }
    m_looked = 0;
    m_finished = false;
    endResetModel();
    m_survey.start(aircraft);
}

bool CollectionModel::showsAircraftOf(const Hangar &hangar) const
{
    const QList<AircraftEntry> &aircraft = hangar.aircraft();
    if (aircraft.size() != m_rows.size())
        return false;
    for (qsizetype index = 0; index < aircraft.size(); ++index) {
        if (aircraft.at(index).paintListPath != m_rows.at(index).listPath
            || aircraft.at(index).title != m_rows.at(index).title)
            return false;
    }
    return true;
}

void CollectionModel::lookAgain(int hangarIndex)
{
    if (hangarIndex < 0 || hangarIndex >= m_rows.size())
        return;
    if (m_thumbnails)
        m_thumbnails->forgetIfChanged(m_rows.at(hangarIndex).mainTexturePath);
    m_finished = false;
    m_survey.lookAgain(hangarIndex);
}

void CollectionModel::prefer(const QList<int> &hangarIndices)
{
    m_survey.prefer(hangarIndices);
    if (!m_thumbnails)
        return;
    QStringList pictures;
    for (const int index : hangarIndices) {
        if (index >= 0 && index < m_rows.size() && !m_rows.at(index).mainTexturePath.isEmpty())
            pictures << m_rows.at(index).mainTexturePath;
    }
    m_thumbnails->prefer(pictures);
}

int CollectionModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant CollectionModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return row.title;
    case Qt::ToolTipRole:
        return QStringLiteral("%1\n%2").arg(row.title, row.status.description());
    case Qt::DecorationRole:
        return m_thumbnails ? m_thumbnails->rowPicture(row.mainTexturePath) : QImage();
    case FolderRole:
        return row.folder;
    case PaintCountRole:
        return row.paintCount;
    case PaintNamesRole:
        return row.paintNames;
    case StatusKindRole:
        return int(row.status.kind);
    case StatusTextRole:
        return row.status.description();
    case MainTexturePathRole:
        return row.mainTexturePath;
    case HangarIndexRole:
        return index.row();
    case PictureSettledRole:
        return row.paintCount >= 0 && (row.mainTexturePath.isEmpty() || !m_thumbnails
                                       || m_thumbnails->isSettled(row.mainTexturePath));
    default:
        return QVariant();
    }
}

bool CollectionModel::admits(int row, const CollectionFilter &filter) const
{
    return row >= 0 && row < m_rows.size() && filter.admits(m_rows.at(row).searched, m_rows.at(row).status.kind);
}

AircraftStatus CollectionModel::statusOf(int hangarIndex) const
{
    return hangarIndex >= 0 && hangarIndex < m_rows.size() ? m_rows.at(hangarIndex).status : AircraftStatus();
}

QString CollectionModel::folderOf(int hangarIndex) const
{
    return hangarIndex >= 0 && hangarIndex < m_rows.size() ? m_rows.at(hangarIndex).folder : QString();
}

QString CollectionModel::titleOf(int hangarIndex) const
{
    return hangarIndex >= 0 && hangarIndex < m_rows.size() ? m_rows.at(hangarIndex).title : QString();
}

void CollectionModel::takeSummaries(const QList<CollectionSurvey::Summary> &summaries)
{
    int first = int(m_rows.size());
    int last = -1;
    for (const CollectionSurvey::Summary &summary : summaries) {
        if (summary.index < 0 || summary.index >= m_rows.size())
            continue;
        Row &row = m_rows[summary.index];
        if (!row.mainTexturePath.isEmpty() && row.mainTexturePath != summary.mainTexturePath)
            m_rowOfMainTexture.remove(row.mainTexturePath);
        row.paintCount = summary.listRead ? int(summary.paintNames.size()) : -1;
        row.paintNames = summary.paintNames;
        row.searched = CollectionFilter::Subject::of(row.title, row.folder, row.paintNames);
        row.mainTexturePath = summary.mainTexturePath;
        if (!row.mainTexturePath.isEmpty())
            m_rowOfMainTexture.insert(row.mainTexturePath, summary.index);
        first = std::min(first, summary.index);
        last = std::max(last, summary.index);
    }
    if (last >= 0)
        emit dataChanged(index(first), index(last));
}

void CollectionModel::takeStatuses(const QList<CollectionSurvey::Status> &statuses)
{
    int first = int(m_rows.size());
    int last = -1;
    for (const CollectionSurvey::Status &found : statuses) {
        if (found.index < 0 || found.index >= m_rows.size())
            continue;
        Row &row = m_rows[found.index];
        if (row.status.kind == AircraftStatus::Kind::Unknown)
            ++m_looked;
        row.status = found.status;
        first = std::min(first, found.index);
        last = std::max(last, found.index);
    }
    if (last >= 0) {
        emit dataChanged(index(first), index(last));
        emit surveyProgress(m_looked, int(m_rows.size()));
    }
}

void CollectionModel::pictureReady(const QString &path)
{
    const auto found = m_rowOfMainTexture.constFind(path);
    if (found != m_rowOfMainTexture.cend())
        emit dataChanged(index(*found), index(*found), {Qt::DecorationRole});
}

CollectionFilterModel::CollectionFilterModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    setDynamicSortFilter(true);
}

// One change of layout for the whole list, and none when the words stay
// the same: filtering row by row would tell the view of every run of hidden
// rows apart, each a new layout of the list, which with thousands of
// aircraft kept the window from the next key press.
void CollectionFilterModel::setSearch(const QString &text, CollectionFilter::StatusChoice choice)
{
    CollectionFilter filter;
    filter.setText(text);
    filter.setStatusChoice(choice);
    if (filter == m_filter)
        return;
    m_filter = filter;
    invalidate();
}

bool CollectionFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_filter.isEmpty() || sourceParent.isValid())
        return true;
    const auto *collection = qobject_cast<const CollectionModel *>(sourceModel());
    return !collection || collection->admits(sourceRow, m_filter);
}
