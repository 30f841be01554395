#pragma once

#include "AircraftReview.h"
#include "AircraftScanner.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QThreadPool>

#include <deque>
#include <memory>

// Looks at every aircraft of the collection on a worker thread: first each
// paint list (cheap: the paint names and main texture, for searching and
// counting), then each status, which compares textures and is not cheap.
// Aircraft asked for (those on screen) are looked at first. Nothing here
// touches the hangar: the worker reads files through lists of its own.
class CollectionSurvey : public QObject
{
    Q_OBJECT

public:
    struct Summary
    {
        int index = -1;
        bool listRead = false;
        QString mainTexturePath;
        QStringList paintNames;
        QStringList paintTexturePaths;
    };
    struct Status
    {
        int index = -1;
        AircraftStatus status;
    };

    explicit CollectionSurvey(QObject *parent = nullptr);
    ~CollectionSurvey() override;

    // Forgets what was under way and looks at these aircraft.
    void start(const QList<AircraftEntry> &aircraft);
    // Their statuses before all others.
    void prefer(const QList<int> &indices);
    // Its files changed: read its list and status again, first.
    void lookAgain(int index);
    void stop();
    bool isBusy() const;
    void waitForIdle() { m_pool.waitForDone(); }

signals:
    void summariesFound(const QList<CollectionSurvey::Summary> &summaries);
    void statusesFound(const QList<CollectionSurvey::Status> &statuses);
    // Every status of the last start is known.
    void finished();

private:
    struct Work;
    void run(std::shared_ptr<Work> work);

    QThreadPool m_pool;
    std::shared_ptr<Work> m_work;
};
