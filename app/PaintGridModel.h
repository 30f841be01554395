#pragma once

#include "CollectionFilter.h"

#include <QAbstractListModel>

#include <optional>

class Hangar;
class ThumbnailLoader;

// The selected aircraft's paint rows as pictures: the installed texture and
// the default paint first, then the paints the search lets through, the one
// worn marked.
class PaintGridModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        TableRowRole = Qt::UserRole + 1, // the row of the hangar's paint table
        InstalledRole,                   // the row whose file the aircraft wears
        TexturePathRole,
        PictureSettledRole = Qt::UserRole + 50, // the picture shown is the final one; one value in both models
    };

    PaintGridModel(Hangar &hangar, ThumbnailLoader *thumbnails, QObject *parent = nullptr);

    // Shows the hangar's paint table as it is now.
    void refresh();
    void setFilter(const CollectionFilter &filter);
    QString texturePathAt(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        int tableRow;
        QString name;
        QString texturePath;
    };
    void rebuild();
    void pictureReady(const QString &path);

    Hangar &m_hangar;
    ThumbnailLoader *m_thumbnails;
    CollectionFilter m_filter;
    QList<Row> m_rows;
    std::optional<int> m_installed;
};
