#pragma once

#include "AircraftReview.h"
#include "CollectionFilter.h"
#include "CollectionSurvey.h"

#include <QAbstractListModel>
#include <QSortFilterProxyModel>

class Hangar;
class ThumbnailLoader;

// Every aircraft of the hangar as a row: title, folder, number of paints,
// status and a picture of its main texture. Lists and statuses arrive from
// the survey on a worker; until then a row shows what the scan knew.
class CollectionModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        FolderRole = Qt::UserRole + 1,
        PaintCountRole,      // -1 until the list was read
        PaintNamesRole,
        StatusKindRole,      // AircraftStatus::Kind as int
        StatusTextRole,
        MainTexturePathRole,
        HangarIndexRole,
        PictureSettledRole = Qt::UserRole + 50, // the picture shown is the final one; one value in both models
    };

    CollectionModel(const Hangar &hangar, ThumbnailLoader *thumbnails, QObject *parent = nullptr);

    // Takes the hangar's aircraft list afresh and looks at every aircraft.
    void reload();
    // Whether the rows are the hangar's aircraft as it lists them now.
    bool showsAircraftOf(const Hangar &hangar) const;
    // Its files changed: look again.
    void lookAgain(int hangarIndex);
    // On screen now: their statuses and pictures come first.
    void prefer(const QList<int> &hangarIndices);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Whether the search and status choice let the row through.
    bool admits(int row, const CollectionFilter &filter) const;
    AircraftStatus statusOf(int hangarIndex) const;
    QString folderOf(int hangarIndex) const;
    QString titleOf(int hangarIndex) const;
    bool surveyFinished() const { return m_finished; }
    CollectionSurvey &survey() { return m_survey; }

signals:
    void surveyProgress(int looked, int total);
    void surveyDone();

private:
    struct Row
    {
        QString title;
        QString folder;
        QString listPath;
        int paintCount = -1;
        QStringList paintNames;
        QString mainTexturePath;
        AircraftStatus status;
        CollectionFilter::Subject searched;
    };
    void takeSummaries(const QList<CollectionSurvey::Summary> &summaries);
    void takeStatuses(const QList<CollectionSurvey::Status> &statuses);
    void pictureReady(const QString &path);

    const Hangar &m_hangar;
    ThumbnailLoader *m_thumbnails;
    CollectionSurvey m_survey;
    QList<Row> m_rows;
    QHash<QString, int> m_rowOfMainTexture;
    int m_looked = 0;
    bool m_finished = false;
};

// The rows the player's search and status choice let through.
class CollectionFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit CollectionFilterModel(QObject *parent = nullptr);
    // Both at once: the list is filtered once for a key press.
    void setSearch(const QString &text, CollectionFilter::StatusChoice choice);
    const CollectionFilter &filter() const { return m_filter; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    CollectionFilter m_filter;
};
