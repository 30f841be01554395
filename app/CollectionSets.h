#pragma once

#include "PaintSet.h"
#include "PaintSetStore.h"

#include <QObject>

class TCollectionForm;
class TRezidu;

// The Collection window's "Sets" menu: every action is a hangar operation
// or a store call; this only asks the player and shows the report.
class CollectionSets : public QObject
{
    Q_OBJECT

public:
    CollectionSets(TCollectionForm *form, TRezidu *mainWindow);

    void saveSet(bool shownOnly);
    void applySet();
    void deleteSet();
    void renameSet();
    void exportSet();
    void importSet();

private:
    QList<int> shownAircraft() const;
    QString askForSet(const QString &title) const;
    // The set the player picks, read; a set that cannot be read is told.
    std::optional<PaintSet> loadAskedSet(const QString &title);
    QString askForName(const QString &title, const QString &proposed) const;
    void showReport(const QString &summary, const SetReport &report);
    void tell(const PaintResult &result);
    void showChanges();

    TCollectionForm *m_form;
    TRezidu *m_main;
    PaintSetStore m_store;
};
